// Research data: reading data/research.dat into the technology records (KVGLOBALS.TECHNOLOGYDATA).
// The research rules of the menu (offering, choosing, completion, installation) live in
// menu/research.
//
// The file holds one research field a line, its tokens split at "//": identifier, "MISSION" or
// "TECHNOLOGY", the prerequisite (mission number or identifier), research time in missions,
// "MANDATORY" or "NOT_MANDATORY", title, description. Empty lines are skipped; a line with fewer
// than seven tokens, or with a research time below 0, is skipped with one console line. A later
// line for the same identifier overwrites an earlier one.
#pragma once

#include <cstdint>
#include <string>

#include "engine/textfile.h"
#include "game/technology_types.h"

void KV_LOAD_RESEARCH();

// The index of a research identifier ("RSCH_TAILPOD" 0 .. "RSCH_TAILPOD7" 6); any other text is 0.
int32_t research_identifier_index(const std::string& id);

// Reads research lines from `r` into `table` (TECHNOLOGY_SLOTS records, cleared first); `name`
// names the source in console lines. Returns the number of lines skipped.
int32_t research_load_reader(FieldReader& r, TECHNOLOGYTYPE* table, const std::string& name);
