// Research data (see technology.h).
#include "game/technology.h"

#include <cstdio>

#include "game/kv_globals.h"

int32_t research_identifier_index(const std::string& id) {
    static const char* const kIds[] = {"RSCH_TAILPOD",  "RSCH_TAILPOD2", "RSCH_TAILPOD3", "RSCH_TAILPOD4",
                                       "RSCH_TAILPOD5", "RSCH_TAILPOD6", "RSCH_TAILPOD7"};
    for (int32_t i = 0; i < 7; ++i)
        if (id == kIds[i]) return i;
    return 0;
}

int32_t research_load_reader(FieldReader& r, TECHNOLOGYTYPE* table, const std::string& name) {
    for (int32_t i = 0; i < TECHNOLOGY_SLOTS; ++i) table[i] = TECHNOLOGYTYPE{};
    int32_t skipped = 0;
    int32_t line = 0;
    while (!field_eof(r)) {
        const std::string text = field_read(r);
        ++line;
        if (text.empty()) continue;
        const int32_t last = STR_EXPLODE("//", text);
        if (last < 6) {
            std::printf("%s: entry %d has %d of the 7 fields; skipped\n", name.c_str(), line, last + 1);
            ++skipped;
            continue;
        }
        const std::string t0 = STR_EXPLODE_RESULT[0], t1 = STR_EXPLODE_RESULT[1], t2 = STR_EXPLODE_RESULT[2];
        const std::string t3 = STR_EXPLODE_RESULT[3], t4 = STR_EXPLODE_RESULT[4];
        const std::string t5 = STR_EXPLODE_RESULT[5], t6 = STR_EXPLODE_RESULT[6];
        const int32_t time = text_to_int(t3);
        if (time < 0) {
            std::printf("%s: entry %d (%s) has a research time of %d missions; skipped\n", name.c_str(), line,
                        t0.c_str(), time);
            ++skipped;
            continue;
        }
        TECHNOLOGYTYPE& t = table[research_identifier_index(t0)];
        if (t1 == "MISSION") {
            t.PREREQTYPE = 0;
            t.PREREQCODE = text_to_int(t2);
        } else if (t1 == "TECHNOLOGY") {
            t.PREREQTYPE = 1;
            t.PREREQCODE = research_identifier_index(t2);
        }
        t.TIMETORESEARCH = time;
        if (t4 == "MANDATORY") t.MANDATORY = 0;
        else if (t4 == "NOT_MANDATORY") t.MANDATORY = 1;
        t.TITLE = t5;
        t.DESCRIPTION = t6;
    }
    return skipped;
}

void KV_LOAD_RESEARCH() {
    FieldReader r;
    field_reader_open(r, "data/research.dat");
    research_load_reader(r, KVGLOBALS.TECHNOLOGYDATA, "data/research.dat");
}
