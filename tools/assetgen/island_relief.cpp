// The open country's relief (see island_relief.h). Every shape is a few terrain units per cell
// at its steepest, so the slopes catch the light without turning into walls:
// - a plateau that lifts the interior clear of the pale beach tint, higher in some regions
//   than in others, so the heights between the towns vary;
// - coastal cliffs along some stretches of the coast, where the land climbs within a few cells;
// - ridges: sharp crests along the zero lines of a warped noise;
// - valleys: troughs along the zero lines of another noise;
// - terraces: steps on the slopes of some regions;
// - dunes: asymmetric sand waves in the low ground behind the beaches.
#include "island_relief.h"

#include "island_layout.h"
#include "island_noise.h"
#include "island_terrain.h"

#include <algorithm>
#include <cmath>

namespace island {
namespace {

// Weight from a distance beyond the quiet radius: 0 inside, 1 at QUIET_RAMP cells out.
double ramp(double beyond) { return smooth(clamp01(beyond / QUIET_RAMP)); }

double disc_distance(int x, int z, int cx, int cz) {
    const double dx = x - cx, dz = z - cz;
    return std::sqrt(dx * dx + dz * dz);
}

double rect_distance(int x, int z, int x0, int z0, int x1, int z1) {
    const int ex = std::max(std::max(x0 - x, x - x1), 0);
    const int ez = std::max(std::max(z0 - z, z - z1), 0);
    return std::sqrt(static_cast<double>(ex * ex + ez * ez));
}

constexpr double LAND_FLOOR = 12.0;  // no relief takes a land cell below this (water is 10)
constexpr double TERRACE_STEP = 16.0;
constexpr double STEEPEST = 11.0;  // units between neighbouring cells (the game's 3-unit cliff limit, rounded)

}  // namespace

double quiet_weight(int x, int z) {
    double w = 1.0;
    for (const Flat& f : FLATS)
        w = std::min(w, ramp(rect_distance(x, z, f.x0, f.z0, f.x1, f.z1) - f.margin - QUIET_FLAT));
    for (const Paving& p : PAVING) w = std::min(w, ramp(rect_distance(x, z, p.x0, p.z0, p.x1, p.z1) - QUIET_FLAT));
    for (const EnemyGroup& g : GROUPS) w = std::min(w, ramp(disc_distance(x, z, g.x, g.z) - g.radius - QUIET_GARRISON));
    for (const Quiet& q : QUIET) w = std::min(w, ramp(disc_distance(x, z, q.x, q.z) - q.radius));
    return w;
}

double terraced(double height) {
    const double level = std::floor(height / TERRACE_STEP);
    return TERRACE_STEP * (level + smooth(height / TERRACE_STEP - level));
}

ReliefParts relief_parts(int x, int z, double inland) {
    ReliefParts r;
    // Plateau: 2-34 units over the interior, reached 28 cells in from the coast.
    const double region = 0.6 * noise(x, z, 96, 701u) + 0.4 * noise(x, z, 48, 702u);
    r.plateau = (18.0 + 16.0 * region) * smooth(clamp01(inland / 28.0));

    // Coastal cliffs where the cliff noise runs high: up to 28 units within 5 cells of the sea.
    const double cliff_here = clamp01((noise(x, z, 60, 703u) - 0.10) / 0.25);
    r.cliff = 28.0 * cliff_here * smooth(clamp01(inland / 5.0));

    // Ridges: crests where a warped noise crosses zero, fading in from the coast.
    const double wx = x + 18.0 * noise(x, z, 34, 704u), wz = z + 18.0 * noise(x, z, 34, 705u);
    const double crest = 1.0 - std::fabs(noise_at(wx, wz, 46.0, 706u));
    r.ridge = 56.0 * crest * crest * crest * smooth(clamp01((inland - 4.0) / 20.0));

    // Valleys: troughs where another noise crosses zero.
    const double trough = 1.0 - smooth(clamp01(std::fabs(noise(x, z, 72, 707u)) / 0.3));
    r.valley = -24.0 * trough * smooth(clamp01((inland - 6.0) / 18.0));

    // Terraces where the terrace noise runs high.
    r.terrace = clamp01((noise(x, z, 80, 708u) - 0.05) / 0.25);

    // Dunes in some of the low ground between 3 and 36 cells from the coast.
    const double dune_here = clamp01((noise(x, z, 64, 709u) - 0.05) / 0.3) *
                             smooth(clamp01((inland - 3.0) / 5.0)) * smooth(clamp01((36.0 - inland) / 12.0));
    if (dune_here > 0.0) {
        const double phase = (0.8 * x + 0.6 * z) / 15.0 + 1.6 * noise(x, z, 40, 710u);
        const double w = phase - std::floor(phase);
        const double profile = w < 0.7 ? smooth(w / 0.7) : smooth((1.0 - w) / 0.3);
        r.dune = 14.0 * profile * dune_here;
    }
    return r;
}

void add_relief(std::vector<double>& h, const std::vector<uint8_t>& land, const std::vector<int32_t>& to_sea) {
    std::vector<double> quiet_at(CELLS, 0.0);
    for (int z = 0; z < GRID; ++z)
        for (int x = 0; x < GRID; ++x) {
            const int i = index_of(x, z);
            if (!land[i]) continue;
            const double quiet = quiet_weight(x, z);
            quiet_at[i] = quiet;
            if (quiet <= 0.0) continue;
            const double inland = to_sea[i] / 3.0;
            const ReliefParts r = relief_parts(x, z, inland);
            const double base = h[i];
            double v = base + r.plateau + r.cliff + r.ridge + r.dune;
            // A valley never cuts below the lowland it runs through.
            v = std::max(v + r.valley, std::min(v, base + 4.0));
            v += (terraced(v) - v) * r.terrace;
            // Peaks over 180 units are pressed down so the island's top stays near 50 world units.
            if (v > 180.0) v = 180.0 + (v - 180.0) * 0.4;
            v = std::max(v, LAND_FLOOR);
            h[i] = base + (v - base) * quiet;
        }
    // Where shapes stack up (a terrace riser on a ridge flank, a cliff under a hill) the slope
    // can pass the limit: lower the upper cell until every neighbour pair is within it. Only
    // cells the relief touched are lowered, so the quiet ground stays exactly as it was.
    const int dx[4] = {1, -1, 0, 0}, dz[4] = {0, 0, 1, -1};
    for (int pass = 0; pass < 64; ++pass) {
        bool changed = false;
        for (int z = 1; z < GRID - 1; ++z)
            for (int x = 1; x < GRID - 1; ++x) {
                const int i = index_of(x, z);
                if (!land[i] || quiet_at[i] <= 0.0) continue;
                for (int k = 0; k < 4; ++k) {
                    const double limit = h[index_of(x + dx[k], z + dz[k])] + STEEPEST;
                    if (h[i] > limit) h[i] = std::max(limit, LAND_FLOOR), changed = true;
                }
            }
        if (!changed) break;
    }
}

}  // namespace island
