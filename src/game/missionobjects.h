// Mission objects: airdrops (gliding in, chute collapse, winching the crate), check points (the
// objective marker, crate markers, refuelling pads and the research base), refuelling, the
// zipline sequences with the personnel walking on the ground (runners), and their drawing.
//
// All state changes happen in the processing functions, which the objective check runs once a
// frame in the order airdrops, check points, ziplines; the drawing functions only read the
// records, so the pointer view and a frame without drawing behave the same.
//
// Every index that comes from data (a crate's check point, the current mission and objective, a
// zipline team size) is range-checked before it addresses a table.
#pragma once

#include <cstdint>
#include <string>

// Zipline sequence states (OBJECTIVETYPE::ZIPLINE_STATUS).
enum : int32_t {
    ZIPLINE_WAITING = 0,     // the gunship has to hover over the drop point and press activate
    ZIPLINE_DESCENT = 1,     // personnel rope down and walk to the target
    ZIPLINE_ON_GROUND = 2,   // goal 4: installing explosives, then waiting to be collected
    ZIPLINE_ASCENT = 3,      // goal 4: personnel walk back and are hoisted
    ZIPLINE_ABOARD = 4,      // goal 4: everyone on board; the demolition is triggered next
    ZIPLINE_TRIGGERED = 5,   // goal 4: demolition requested, blast not seen yet
    ZIPLINE_BLASTING = 6,    // goal 4: the blast is running
    ZIPLINE_FINISHED = 7,    // the sequence is over; the objective completes
};

// Longest a goal-4 objective waits for its blast to end after the trigger, in ms.
inline constexpr int32_t ZIPLINE_BLAST_WAIT_MS = 12000;

void KV_MISSION_RENDER();
void KV_MISSION_RENDER_AIRDROPS();
void KV_MISSION_RENDER_ZIPLINES();
void KV_RENDER_USWRUNNER();
void KV_RENDER_CHECKPOINTRING();
void KV_MISSION_PROCESS_AIRDROPS();
void KV_MISSION_PROCESS_CHECKPOINTS();
void KV_MISSION_PROCESS_ZIPLINES();
int32_t KV_INSIDECHECKPOINT(int32_t i);
void KV_REFUEL();
void KV_USWRUNNER_ADD(int32_t i, float x0, float z0, float x1, float z1);
void KV_USWRUNNER_UPDATE();

// True when the current objective is a zipline goal (3 drop, 4 drop and demolition) whose
// sequence has finished: every runner arrived (goal 3), or the demolition was triggered and its
// blast is over (goal 4, at the latest ZIPLINE_BLAST_WAIT_MS after the trigger). A team of 0
// finishes at once. The objective check completes the objective on it.
bool kv_zipline_objective_finished();

// Where landing on the research base learns how many research fields are newly offered (the
// menu registers its counter). A null source counts as none offered.
void kv_set_new_research_count_source(int32_t (*source)());

// Starting mission M (the menu's mission start and the quick flight call it): its objectives'
// zipline states, time stamps and hoist times, the runners, the demolition blast, the power-up
// and the progress panel start from rest, so a replayed mission does not inherit them.
void kv_mission_objects_start(int32_t M);

// The first active check point the gunship is inside, -1 for none.
int32_t kv_inside_checkpoint_first();

// The mission-object keys of a trace line (" airdrops=... fcp=..."), with a leading blank.
std::string kv_mission_objects_trace();
