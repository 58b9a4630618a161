// Reading and writing configVars.dat and the start-up read into CONFIGVARS.
#include "config/config.h"

#include <cmath>
#include <cstdio>

#include "engine/engine_globals.h"
#include "engine/gl_types.h"
#include "engine/textfile.h"
#include "platform/file_io.h"

CONFIGVARTYPE CONFIGVARS;

namespace {

// Reads the 55 values in file order. Each reader takes the next field when one is left,
// counts it, and range-checks it; a refused value is reported and stored as 0.
struct ConfigParser {
    FieldReader& in;
    const std::string& source;
    int values = 0;

    bool next(std::string& field) {
        if (field_eof(in)) return false;
        field = field_read(in);
        ++values;
        return true;
    }

    void refuse(const std::string& what, const std::string& field) {
        std::printf("%s: line %d (%s) value \"%s\" is out of range; using 0\n", source.c_str(),
                    values, what.c_str(), field.c_str());
    }

    // Whole-number fields: parse the longest numeric prefix as the shared reader does.
    int32_t read_int(const std::string& what, int64_t lo, int64_t hi) {
        std::string field;
        if (!next(field)) return 0;
        // The wide parse only decides the range; the value is the shared integer parse.
        FieldReader wide = field_reader_from_string(field);
        double d = field_read_double(wide);
        if (!std::isfinite(d) || d < static_cast<double>(lo) - 1.0 ||
            d > static_cast<double>(hi) + 1.0) {
            refuse(what, field);
            return 0;
        }
        FieldReader one = field_reader_from_string(field);
        int32_t v = field_read_int(one);
        if (v < lo || v > hi) {
            refuse(what, field);
            return 0;
        }
        return v;
    }

    int8_t read_byte(const std::string& what) {
        return static_cast<int8_t>(read_int(what, -128, 127));
    }

    float read_single(const std::string& what) {
        std::string field;
        if (!next(field)) return 0.0f;
        FieldReader one = field_reader_from_string(field);
        float v = field_read_single(one);
        if (!std::isfinite(v)) {
            refuse(what, field);
            return 0.0f;
        }
        return v;
    }
};

}  // namespace

namespace {

ConfigReadStatus parse_fields(CONFIGVARTYPE& cfg, FieldReader& in, const std::string& source) {
    cfg = CONFIGVARTYPE{};
    ConfigParser p{in, source};
    cfg.XRES = p.read_int("XRES", 0, 65535);
    cfg.YRES = p.read_int("YRES", 0, 65535);
    cfg.NBITS = p.read_byte("NBITS");
    cfg.FULLSCREEN = p.read_byte("FULLSCREEN");
    cfg.INPUTTYPE = p.read_byte("INPUTTYPE");
    for (int i = 0; i < CONFIG_NAXES; ++i) {
        cfg.AXISMIN[i] = p.read_single("AXISMIN(" + std::to_string(i) + ")");
        cfg.AXISMAX[i] = p.read_single("AXISMAX(" + std::to_string(i) + ")");
    }
    cfg.JOYSTICK = p.read_byte("JOYSTICK");
    for (int i = 0; i < CONFIG_NCONTROLS; ++i)
        cfg.CONTROL[i] = p.read_byte("CONTROL(" + std::to_string(i) + ")");
    for (int i = 0; i < CONFIG_NDISPLAYOPTIONS; ++i)
        cfg.DISPLAYOPTION[i] = p.read_byte("DISPLAYOPTION(" + std::to_string(i) + ")");
    if (p.values < CONFIG_FILE_LINES) {
        std::printf("%s: only %d of %d settings present; the rest are 0\n", source.c_str(),
                    p.values, CONFIG_FILE_LINES);
        return ConfigReadStatus::SHORT;
    }
    return ConfigReadStatus::OK;
}

}  // namespace

ConfigReadStatus config_parse(CONFIGVARTYPE& cfg, const std::string& text,
                              const std::string& source) {
    FieldReader in = field_reader_from_string(text);
    return parse_fields(cfg, in, source);
}

ConfigReadStatus config_read(CONFIGVARTYPE& cfg, const std::string& path) {
    FieldReader in;
    if (!field_reader_open(in, path)) {
        cfg = CONFIGVARTYPE{};
        std::printf("%s: cannot open the settings file; all settings are 0\n", path.c_str());
        return ConfigReadStatus::MISSING;
    }
    return parse_fields(cfg, in, path);
}

std::string config_format(const CONFIGVARTYPE& cfg) {
    FieldWriter w;
    field_write(w, text_int(cfg.XRES));
    field_write(w, text_int(cfg.YRES));
    field_write(w, text_int(cfg.NBITS));
    field_write(w, text_int(cfg.FULLSCREEN));
    field_write(w, text_int(cfg.INPUTTYPE));
    for (int i = 0; i < CONFIG_NAXES; ++i) {
        field_write(w, text_single(cfg.AXISMIN[i]));
        field_write(w, text_single(cfg.AXISMAX[i]));
    }
    field_write(w, text_int(cfg.JOYSTICK));
    for (int i = 0; i < CONFIG_NCONTROLS; ++i) field_write(w, text_int(cfg.CONTROL[i]));
    for (int i = 0; i < CONFIG_NDISPLAYOPTIONS; ++i)
        field_write(w, text_int(cfg.DISPLAYOPTION[i]));
    return w.bytes;
}

bool config_write(const CONFIGVARTYPE& cfg, const std::string& path) {
    std::string why;
    if (!write_file_atomic(path, config_format(cfg), &why)) {
        std::printf("%s: could not write the settings file (%s); the old file is unchanged\n",
                    path.c_str(), why.c_str());
        return false;
    }
    return true;
}

ConfigReadStatus INITIALIZE_GAMECONFIG(const std::string& path,
                                       bool (*joystick_present)(int32_t joystick)) {
    // A save killed half-way leaves its temporary file beside the settings: clear it away.
    file_remove_stale_temps(path);
    ConfigReadStatus status = config_read(CONFIGVARS, path);

    CONFIGVARS.LASTJOY = -1;
    if (joystick_present != nullptr)
        for (int32_t j = 0; j < CONFIG_NJOYSTICKS; ++j)
            if (joystick_present(j)) CONFIGVARS.LASTJOY = static_cast<int8_t>(j);

    OPENGLPROPERTIES.SCR_BITS = CONFIGVARS.NBITS;
    OPENGLPROPERTIES.SCR_WIDTH = CONFIGVARS.XRES;
    OPENGLPROPERTIES.SCR_HEIGHT = CONFIGVARS.YRES;
    if (CONFIGVARS.FULLSCREEN == 1)
        OPENGLPROPERTIES.SCR_FULLSCREEN = SCR_MODE_FULLSCREEN;
    else if (CONFIGVARS.FULLSCREEN == 0)
        OPENGLPROPERTIES.SCR_FULLSCREEN = SCR_MODE_WINDOW;
    else
        OPENGLPROPERTIES.SCR_FULLSCREEN = 0;
    return status;
}
