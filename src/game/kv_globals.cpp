// The mission and player state record instance (see kv_globals.h), and the capacities of its
// fixed arrays, checked where the record is defined.
#include "game/kv_globals.h"

#include <type_traits>

namespace {
template <class T>
constexpr size_t slots = std::extent_v<T>;
using G = KVGLOBALSTYPE;
}  // namespace

static_assert(slots<decltype(G::PROJECTILES)> == 10000 && slots<decltype(G::FIREBALL)> == 10000);
static_assert(slots<decltype(G::ENEMIES)> == 1000 && slots<decltype(G::ENEMYCLASS)> == 100);
static_assert(slots<decltype(G::MISSIONDATA)> == 100 && slots<decltype(G::PROFILES)> == 100);
static_assert(slots<decltype(G::TECHNOLOGYDATA)> == 45 && slots<decltype(PROFILETYPE::COMPLETEDTECHNOLOGY)> == 45);
static_assert(slots<decltype(G::BUILDINGCLASS)> == 21 && slots<decltype(G::USWRUNNER)> == 21);
static_assert(slots<decltype(G::MAPDL)> == 65 && std::extent_v<decltype(G::MAPDL), 1> == 65);
static_assert(slots<decltype(G::WATERMAPDL)> == 65 && std::extent_v<decltype(G::WATERMAPDL), 1> == 65);
static_assert(slots<decltype(G::BOXARRAY)> == 65 && std::extent_v<decltype(G::BOXARRAY), 1> == 65);
static_assert(slots<decltype(G::EXPLOSIONTEX)> == 7 && slots<decltype(G::ARMOURCLASSNAME)> == 4);
static_assert(slots<decltype(G::SEVENSEGMENTMID)> == 11 && slots<decltype(G::SEVENSEGMENTDL)> == 11);
static_assert(slots<decltype(G::LIGHTMATRIX)> == 17 && slots<decltype(G::MODELVIEWTEMP)> == 17);
static_assert(slots<decltype(G::FUNCTION_TIMER)> == 100 && slots<decltype(G::FUNCTION_TIMER_MAX)> == 100 &&
              slots<decltype(G::FUNCTION_TIMER_START)> == 100);
static_assert(sizeof(std::declval<G&>().BOXARRAY[0][0]) == 1, "BOXARRAY holds bytes");
static_assert(sizeof(G::INITIALIZED) == 1 && sizeof(G::EXITCODE) == 1, "flags are bytes");

KVGLOBALSTYPE KVGLOBALS;
