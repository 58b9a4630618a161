// The research rules of a profile (see research.h).
#include "menu/research.h"

#include <cmath>

#include "game/kv_globals.h"
#include "menu/menu_globals.h"

namespace {
// Technologies the menu can offer and a profile can research: 0-43.
constexpr int32_t kOfferable = TECHNOLOGY_SLOTS - 1;
}  // namespace

bool kv_research_under_way(const PROFILETYPE& p) {
    return p.RESEARCHINGTECHNOLOGY >= 0 && p.RESEARCHINGTECHNOLOGY < kOfferable;
}

bool kv_research_due(const PROFILETYPE& p, const TECHNOLOGYTYPE* table) {
    if (!kv_research_under_way(p)) return false;
    const int64_t due = int64_t{p.RESEARCHINGTECHNOLOGYSTARTMISSION} + table[p.RESEARCHINGTECHNOLOGY].TIMETORESEARCH;
    return due <= p.MISSIONNUM;
}

void kv_research_offer(const PROFILETYPE& p, const TECHNOLOGYTYPE* table) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    m.NUMNEWRESEARCH = 0;
    m.SELNEWRESEARCH = 0;
    m.TOPNEWRESEARCH = 0;
    for (int32_t k = 0; k < kOfferable; ++k) {
        const TECHNOLOGYTYPE& t = table[k];
        if (t.TITLE.empty()) continue;
        bool offered = false;
        if (t.PREREQTYPE == 0) offered = t.PREREQCODE < p.MISSIONNUM;
        else if (t.PREREQTYPE == 1)
            offered = t.PREREQCODE >= 0 && t.PREREQCODE < TECHNOLOGY_SLOTS && p.COMPLETEDTECHNOLOGY[t.PREREQCODE] == 1;
        if (offered) m.NEWRESEARCH[m.NUMNEWRESEARCH++] = k;
    }
    KVGLOBALS.ALERTTECHNOLOGY = kv_research_due(p, table) ? 1 : 0;
}

void kv_research_choose(PROFILETYPE& p) {
    KV_MENUGLOBALSTYPE& m = KV_MENUGLOBALS;
    if (m.NUMNEWRESEARCH <= 0 || m.NUMNEWRESEARCH > TECHNOLOGY_SLOTS) return;
    int32_t sel = m.SELNEWRESEARCH;
    if (sel < 0 || sel >= m.NUMNEWRESEARCH) sel = 0;
    const int32_t k = m.NEWRESEARCH[sel];
    if (k < 0 || k >= kOfferable) return;
    p.RESEARCHINGTECHNOLOGY = k;
    p.RESEARCHINGTECHNOLOGYSTARTMISSION = p.MISSIONNUM;
}

void kv_research_check_completed(const PROFILETYPE& p, const TECHNOLOGYTYPE* table) {
    if (!kv_research_under_way(p)) return;
    const TECHNOLOGYTYPE& t = table[p.RESEARCHINGTECHNOLOGY];
    if (int64_t{p.RESEARCHINGTECHNOLOGYSTARTMISSION} + t.TIMETORESEARCH != p.MISSIONNUM) return;
    kv_menu_open_okbox("Researching Completed!", "Head back to base to install upgrade '" + t.TITLE + "'.");
}

bool kv_research_install(PROFILETYPE& p, const TECHNOLOGYTYPE* table) {
    if (!kv_research_due(p, table)) return false;
    const int32_t k = p.RESEARCHINGTECHNOLOGY;
    kv_menu_open_okbox("Upgrade Installed!", "Completed installing '" + table[k].TITLE + "'.");
    p.COMPLETEDTECHNOLOGY[k] = 1;
    p.RESEARCHINGTECHNOLOGY = -1;
    KVGLOBALS.ALERTTECHNOLOGY = 0;
    return true;
}

int32_t kv_research_percent(const PROFILETYPE& p, const TECHNOLOGYTYPE* table) {
    if (!kv_research_under_way(p)) return 0;
    const double done = double(p.MISSIONNUM) - double(p.RESEARCHINGTECHNOLOGYSTARTMISSION) + 1.0;
    const double pct = std::floor(100.0 * done / (double(table[p.RESEARCHINGTECHNOLOGY].TIMETORESEARCH) + 1.0));
    return pct < 0.0 ? 0 : (pct > 100.0 ? 100 : static_cast<int32_t>(pct));
}
