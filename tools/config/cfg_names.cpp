// controlName.dat reading and stored-path conversion (see cfg_names.h).
#include "cfg_names.h"

#include <cstdio>

#include "engine/textfile.h"

int32_t control_names_read(const std::string& path, std::string* names) {
    for (int32_t k = 0; k < CONTROLNAME_COUNT; ++k) names[k].clear();
    FieldReader r;
    if (!field_reader_open(r, path)) {
        std::printf("could not read %s: bindings are shown without names\n", path.c_str());
        return 0;
    }
    int32_t k = 0;
    while (!field_eof(r)) {
        std::string name = field_read(r);
        if (k < CONTROLNAME_COUNT) names[k] = std::move(name);
        ++k;
    }
    if (k > CONTROLNAME_COUNT)
        std::printf("%s: %d names past the first %d were ignored\n", path.c_str(), k - CONTROLNAME_COUNT,
                    CONTROLNAME_COUNT);
    return k;
}

const std::string& control_name_of(const std::string* names, int32_t code) {
    static const std::string unknown = "?";
    if (code < 0 || code >= CONTROLNAME_COUNT) return unknown;
    return names[code];
}

std::string tool_path(const std::string& stored) {
    std::string p = stored;
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}
