// The research field record (TECHNOLOGYTYPE) and the table size. Types only.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int32_t TECHNOLOGY_SLOTS = 45;   // TECHNOLOGYDATA 0-44

struct TECHNOLOGYTYPE {
    int32_t PREREQTYPE = 0;       // 0 after a mission number, 1 after another technology
    int32_t PREREQCODE = 0;
    int32_t TIMETORESEARCH = 0;   // missions
    std::string TITLE;            // empty = unused slot
    std::string DESCRIPTION;
    int32_t MANDATORY = 0;        // 0 MANDATORY, 1 NOT_MANDATORY
};
