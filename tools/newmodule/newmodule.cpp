// Placeholder replacement of template lines.
#include "newmodule.h"

namespace {

void replace_all(std::string& line, const std::string& placeholder, const std::string& with) {
    std::size_t from = 0;
    for (;;) {
        std::size_t p = line.find(placeholder, from);
        if (p == std::string::npos) return;
        line.replace(p, placeholder.size(), with);
        from = p + with.size();
    }
}

}  // namespace

std::string newmodule_replace(const std::string& line, const std::string& name) {
    std::string out = line;
    replace_all(out, "%%MODULE_NAME%%", name);
    replace_all(out, "%%TAB%%", "\t");
    return out;
}
