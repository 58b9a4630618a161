// Reading and writing configVars.dat and the start-up read into CONFIGVARS.
#include "config/config.h"

#include <cmath>
#include <cstdio>

#include "engine/engine_globals.h"
#include "engine/gl_types.h"
#include "engine/log.h"
#include "engine/console_text.h"
#include "engine/textfile.h"
#include "platform/file_io.h"

CONFIGVARTYPE CONFIGVARS;

CONFIGVARTYPE config_defaults() {
    CONFIGVARTYPE c;
    c.XRES = 1024;
    c.YRES = 768;
    c.NBITS = 32;
    c.FULLSCREEN = 0;
    c.INPUTTYPE = 0;
    for (int i = 0; i < PLATFORM_JOYAXES; ++i) {
        c.AXISMIN[i] = -1.0f;
        c.AXISMAX[i] = 1.0f;
    }
    c.JOYSTICK = 0;
    // Cursor keys turn and thrust, Z and X strafe, Space fires: the keyboard codes of the
    // shipped settings file.
    const int8_t controls[CONFIG_NCONTROLS] = {86, 87, 54, 52, 84, 85, 40, 81, 41, 45, 80, 79, 0};
    for (int i = 0; i < CONFIG_NCONTROLS; ++i) c.CONTROL[i] = controls[i];
    const int8_t options[CONFIG_NDISPLAYOPTIONS] = {0, 1, 1, 1, 1, 1, 0, 0, 1};
    for (int i = 0; i < CONFIG_NDISPLAYOPTIONS; ++i) c.DISPLAYOPTION[i] = options[i];
    return c;
}

bool config_usable(const CONFIGVARTYPE& cfg, std::string& why) {
    if (cfg.XRES < 1 || cfg.YRES < 1 || cfg.XRES > CONFIG_MAX_SCREEN_SIDE || cfg.YRES > CONFIG_MAX_SCREEN_SIDE) {
        why = "screen size " + std::to_string(cfg.XRES) + " x " + std::to_string(cfg.YRES) + " is outside 1-" +
              std::to_string(CONFIG_MAX_SCREEN_SIDE);
        return false;
    }
    if (cfg.NBITS != 16 && cfg.NBITS != 32) {
        why = "colour depth " + std::to_string(cfg.NBITS) + " is neither 16 nor 32";
        return false;
    }
    if (cfg.FULLSCREEN != 0 && cfg.FULLSCREEN != 1) {
        why = "full-screen setting " + std::to_string(cfg.FULLSCREEN) + " is neither 0 nor 1";
        return false;
    }
    return true;
}

namespace {

// True when the text opens with a number (after blanks and a sign, a digit or a point and a
// digit); anything else is no value at all rather than a zero.
bool opens_with_number(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i < text.size() && text[i] == '.') ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// Reads the 55 values in file order. Each reader takes the next field when one is left,
// counts it, and range-checks it; a refused value is reported and the shipped default of its
// setting stands in for it, as for a value the file does not hold at all.
struct ConfigParser {
    FieldReader& in;
    const std::string& source;
    ConfigReadReport* report = nullptr;
    int values = 0;

    bool next(std::string& field) {
        if (field_eof(in)) return false;
        field = field_read(in);
        ++values;
        return true;
    }

    void refuse(const std::string& what, const std::string& field, const std::string& fallback, bool number) {
        if (report != nullptr) report->refused.push_back(ConfigRefusedValue{values, field, number});
        kv_log("%s: line %d (%s) value \"%s\" is %s; using the default %s", source.c_str(), values,
                    what.c_str(), console_safe(field).c_str(), number ? "out of range" : "not a number",
                    fallback.c_str());
    }

    // Whole-number fields: parse the longest numeric prefix as the shared reader does.
    int32_t read_int(const std::string& what, int64_t lo, int64_t hi, int32_t fallback) {
        std::string field;
        if (!next(field)) return fallback;
        if (!opens_with_number(field)) {
            refuse(what, field, std::to_string(fallback), false);
            return fallback;
        }
        // The wide parse only decides the range; the value is the shared integer parse.
        FieldReader wide = field_reader_from_string(field);
        double d = field_read_double(wide);
        if (!std::isfinite(d) || d < static_cast<double>(lo) - 1.0 ||
            d > static_cast<double>(hi) + 1.0) {
            refuse(what, field, std::to_string(fallback), true);
            return fallback;
        }
        FieldReader one = field_reader_from_string(field);
        int32_t v = field_read_int(one);
        if (v < lo || v > hi) {
            refuse(what, field, std::to_string(fallback), true);
            return fallback;
        }
        return v;
    }

    int8_t read_byte(const std::string& what, int8_t fallback) {
        return static_cast<int8_t>(read_int(what, -128, 127, fallback));
    }

    float read_single(const std::string& what, float fallback) {
        std::string field;
        if (!next(field)) return fallback;
        if (!opens_with_number(field)) {
            refuse(what, field, text_single(fallback).substr(fallback < 0 ? 0 : 1), false);
            return fallback;
        }
        FieldReader one = field_reader_from_string(field);
        float v = field_read_single(one);
        if (!std::isfinite(v)) {
            refuse(what, field, text_single(fallback).substr(fallback < 0 ? 0 : 1), true);
            return fallback;
        }
        return v;
    }
};

ConfigReadStatus parse_fields(CONFIGVARTYPE& cfg, FieldReader& in, const std::string& source,
                              ConfigReadReport* report) {
    const CONFIGVARTYPE d = config_defaults();
    cfg = CONFIGVARTYPE{};
    if (report != nullptr) *report = ConfigReadReport{};
    ConfigParser p{in, source, report};
    cfg.XRES = p.read_int("XRES", 0, 65535, d.XRES);
    cfg.YRES = p.read_int("YRES", 0, 65535, d.YRES);
    cfg.NBITS = p.read_byte("NBITS", d.NBITS);
    cfg.FULLSCREEN = p.read_byte("FULLSCREEN", d.FULLSCREEN);
    cfg.INPUTTYPE = p.read_byte("INPUTTYPE", d.INPUTTYPE);
    for (int i = 0; i < PLATFORM_JOYAXES; ++i) {
        cfg.AXISMIN[i] = p.read_single("AXISMIN(" + std::to_string(i) + ")", d.AXISMIN[i]);
        cfg.AXISMAX[i] = p.read_single("AXISMAX(" + std::to_string(i) + ")", d.AXISMAX[i]);
    }
    cfg.JOYSTICK = p.read_byte("JOYSTICK", d.JOYSTICK);
    const int controls_at = p.values;  // values read before the first control
    for (int i = 0; i < CONFIG_NCONTROLS; ++i)
        cfg.CONTROL[i] = p.read_byte("CONTROL(" + std::to_string(i) + ")", d.CONTROL[i]);
    for (int i = 0; i < CONFIG_NDISPLAYOPTIONS; ++i)
        cfg.DISPLAYOPTION[i] = p.read_byte("DISPLAYOPTION(" + std::to_string(i) + ")", d.DISPLAYOPTION[i]);
    if (report != nullptr) {
        // Values past the last setting are never read; a checker wants to know they are there.
        report->values = p.values;
        while (!field_eof(in)) {
            field_read(in);
            ++report->values;
        }
    }
    if (p.values < CONFIG_FILE_LINES) {
        kv_log("%s: only %d of %d settings present; the rest take the shipped defaults", source.c_str(),
                    p.values, CONFIG_FILE_LINES);
        // Unbound controls would leave the gunship unflyable: say which ones were filled in.
        const int first_missing = p.values - controls_at;  // index of the first absent control
        if (first_missing < CONFIG_NCONTROLS - 1) {
            const int from = first_missing < 0 ? 0 : first_missing;
            kv_log("%s: controls %d-%d are missing; they take the default bindings", source.c_str(), from,
                        CONFIG_NCONTROLS - 1);
        }
        return ConfigReadStatus::SHORT;
    }
    return ConfigReadStatus::OK;
}

}  // namespace

ConfigReadStatus config_parse(CONFIGVARTYPE& cfg, const std::string& text,
                              const std::string& source, ConfigReadReport* report) {
    FieldReader in = field_reader_from_string(text);
    return parse_fields(cfg, in, source, report);
}

ConfigReadStatus config_read(CONFIGVARTYPE& cfg, const std::string& path, ConfigReadReport* report) {
    FieldReader in;
    if (report != nullptr) *report = ConfigReadReport{};
    if (!field_reader_open(in, path)) {
        cfg = CONFIGVARTYPE{};
        if (in.error == "missing") {
            kv_log("%s: the settings file is missing; all settings are 0", path.c_str());
            return ConfigReadStatus::MISSING;
        }
        kv_log("%s: the settings file cannot be read (%s); all settings are 0", path.c_str(),
                    in.error.c_str());
        return ConfigReadStatus::UNREADABLE;
    }
    return parse_fields(cfg, in, path, report);
}

std::string config_format(const CONFIGVARTYPE& cfg) {
    FieldWriter w;
    field_write(w, text_int(cfg.XRES));
    field_write(w, text_int(cfg.YRES));
    field_write(w, text_int(cfg.NBITS));
    field_write(w, text_int(cfg.FULLSCREEN));
    field_write(w, text_int(cfg.INPUTTYPE));
    for (int i = 0; i < PLATFORM_JOYAXES; ++i) {
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
        kv_log("%s: could not write the settings file (%s); the old file is unchanged",
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
        for (int32_t j = 0; j < PLATFORM_JOYSTICKS; ++j)
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
