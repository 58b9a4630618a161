// The research rules of a profile: which fields are offered when a mission starts, choosing one
// on the new-research screen, "Researching Completed!" when a mission completes, installation
// when the gunship lands on the base, and the progress percentage of the technology screen.
//
// Research started at mission S with time T is due at mission S + T. A due research is
// announced once, when the mission that makes it due is completed; it is installed at the
// next landing on the base from then on (also after the due mission has passed, so research is
// never lost for the campaign).
#pragma once

#include <cstdint>

#include "game/profile_types.h"
#include "game/technology_types.h"

// Fills NEWRESEARCH/NUMNEWRESEARCH for profile p from `table`, resets the list cursor and first
// row, and sets ALERTTECHNOLOGY while p's research is due or overdue.
void kv_research_offer(const PROFILETYPE& p, const TECHNOLOGYTYPE* table);
// The highlighted field of the new-research screen becomes p's research, started now.
void kv_research_choose(PROFILETYPE& p);
// After a completed mission (MISSIONNUM already advanced): the "Researching Completed!" box when
// p's research has just become due.
void kv_research_check_completed(const PROFILETYPE& p, const TECHNOLOGYTYPE* table);
// Landing on the base (exit code 5): installs p's research when due or overdue, with the
// "Upgrade Installed!" box. True when something was installed.
bool kv_research_install(PROFILETYPE& p, const TECHNOLOGYTYPE* table);

// True while p has research under way (a valid technology index).
bool kv_research_under_way(const PROFILETYPE& p);
// True when p's research is due at or before its current mission.
bool kv_research_due(const PROFILETYPE& p, const TECHNOLOGYTYPE* table);
// floor(100 x (MISSIONNUM - start + 1) / (time + 1)), within 0..100; 0 without research.
int32_t kv_research_percent(const PROFILETYPE& p, const TECHNOLOGYTYPE* table);
