// Screen-mode filtering, the modes file and the mode grid layout (see cfg_modes.h).
#include "cfg_modes.h"

#include "cfg_lines.h"
#include "config/config.h"

#include <cmath>
#include <cstdio>

int32_t modes_filter(const std::vector<MODESIZE>& listed, MODESIZE* out) {
    int32_t n = 0;
    for (std::size_t i = 1; i < listed.size(); ++i) {
        const MODESIZE& m = listed[i];
        bool seen = false;
        for (int32_t k = 0; k < n && !seen; ++k) seen = out[k].W == m.W && out[k].H == m.H;
        if (seen || m.H <= 400) continue;
        if (m.W > CONFIG_MAX_SCREEN_SIDE || m.H > CONFIG_MAX_SCREEN_SIDE) {
            std::printf("screen mode %dx%d is larger than the game opens (%d a side); left out\n", m.W, m.H,
                        CONFIG_MAX_SCREEN_SIDE);
            continue;
        }
        if (n >= VIDEOMODE_CAPACITY) {
            std::printf("more than %d screen modes of one depth; the rest are left out\n", VIDEOMODE_CAPACITY);
            break;
        }
        out[n++] = m;
    }
    return n;
}

int32_t modes_file_parse(const std::string& text, MODELISTS& lists, const std::string& source) {
    lists = MODELISTS{};
    int32_t refused = 0;
    cfg_each_line_words(text, [&](const std::vector<std::string>& t, int32_t number) {
        int64_t bits = 0, width = 0, height = 0;
        if (t.size() != 3 || !cfg_parse_int(t[0], 16, 32, bits) || (bits != 16 && bits != 24 && bits != 32) ||
            !cfg_parse_int(t[1], 1, 65535, width) || !cfg_parse_int(t[2], 1, 65535, height)) {
            std::printf("%s:%d: screen mode refused (expected: BITS WIDTH HEIGHT, BITS 16, 24 or 32)\n",
                        source.c_str(), number);
            ++refused;
            return;
        }
        const int32_t d = static_cast<int32_t>((bits - 16) / 8);
        lists.HASLIST[d] = true;
        lists.LIST[d].push_back({static_cast<int32_t>(width), static_cast<int32_t>(height)});
    });
    return refused;
}

bool modes_file_load(const std::string& path, MODELISTS& lists) {
    std::string text;
    if (!cfg_read_text(path, text)) {
        std::printf("could not read screen modes file %s\n", path.c_str());
        lists = MODELISTS{};
        return false;
    }
    modes_file_parse(text, lists, path);
    return true;
}

void modes_build(const MODELISTS& lists, VIDEOMODETABLE& table) {
    table = VIDEOMODETABLE{};
    for (int32_t d = 0; d < VIDEOMODE_DEPTHS; ++d) {
        if (!lists.HASLIST[d]) continue;
        if (!mode_depth_offered(d)) {
            // The game opens 16 or 32 bits only: a mode it refuses is not offered.
            if (!lists.LIST[d].empty())
                std::printf("%d-bit screen modes are not offered: the game opens 16 or 32 bits\n", mode_depth_bits(d));
            continue;
        }
        table.NVIDEOMODES[d] = modes_filter(lists.LIST[d], table.VIDEOMODE[d]);
    }
}

std::string mode_label(const MODESIZE& m) { return std::to_string(m.W) + "x" + std::to_string(m.H); }

void mode_grid_layout(const VIDEOMODETABLE& table, int32_t label_width, MODEGRID& grid) {
    grid.BUTTONS.clear();
    for (int32_t d = 0; d < VIDEOMODE_DEPTHS; ++d) grid.HEADINGY[d] = -1;
    if (label_width < 0) label_width = 0;
    int32_t columns = 624 / (label_width + 16);
    if (columns < 1) columns = 1;
    grid.COLUMNS = columns;
    grid.BUTTONWIDTH = static_cast<int32_t>(std::nearbyint(624.0 / columns - 16.0)) + 8;
    int32_t y0 = 64;
    bool first = true;
    for (int32_t d = 0; d < VIDEOMODE_DEPTHS; ++d) {
        const int32_t n = table.NVIDEOMODES[d];
        if (n <= 0) continue;
        if (!first) y0 += 36;
        first = false;
        grid.HEADINGY[d] = y0;
        int32_t last_row_y = y0;
        for (int32_t k = 0; k < n; ++k) {
            MODEBUTTON b;
            b.DEPTH = d;
            b.MODE = n - 1 - k;
            b.W = grid.BUTTONWIDTH;
            b.X = (grid.BUTTONWIDTH + 8) * (k % columns) + 8;
            b.Y = y0 + 18 * (k / columns + 1);
            last_row_y = b.Y;
            grid.BUTTONS.push_back(b);
        }
        y0 = last_row_y;
    }
}
