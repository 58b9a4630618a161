// Small mesh-building toolkit of assetgen: materials, flat and smooth primitives (boxes,
// hexahedra, frusta, spheres, extruded outlines) built in the game's coordinates (Y up), and
// the OBJ/MTL writer that turns them into the Z-up files the game's mesh loader reads, with
// full v/vt/vn corners and fixed number formatting so every run writes the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MeshVec {
    float x = 0, y = 0, z = 0;
};

MeshVec operator+(MeshVec a, MeshVec b);
MeshVec operator-(MeshVec a, MeshVec b);
MeshVec operator*(MeshVec a, float s);
float mesh_dot(MeshVec a, MeshVec b);
MeshVec mesh_cross(MeshVec a, MeshVec b);
float mesh_length(MeshVec a);
MeshVec mesh_normalized(MeshVec a);

struct MeshMaterial {
    std::string name;  // at most 15 characters, no spaces or commas
    float r = 1, g = 1, b = 1;
    float ns = 96;     // specular exponent as written to the MTL file (0-1024)
};

struct MeshVertex {
    MeshVec p, n;
    float u = 0, v = 0;
};

struct MeshTri {
    int a = 0, b = 0, c = 0;
    int material = 0;
};

// Affine transform: p' = M p + t, row-major 3 x 3 linear part.
struct MeshXform {
    float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    MeshVec t;
};

MeshXform xf_identity();
MeshXform xf_translate(float x, float y, float z);
MeshXform xf_scale(float x, float y, float z);
MeshXform xf_rotate_x(float degrees);
MeshXform xf_rotate_y(float degrees);
MeshXform xf_rotate_z(float degrees);
// a * b: apply b first, then a.
MeshXform operator*(const MeshXform& a, const MeshXform& b);
MeshVec xf_point(const MeshXform& x, MeshVec p);
MeshVec xf_normal(const MeshXform& x, MeshVec n);
// Frame whose local +Y runs from a to b (for frusta and rods), origin at a.
MeshXform xf_along(MeshVec a, MeshVec b);

struct Mesh {
    std::vector<MeshMaterial> materials;
    std::vector<MeshVertex> vertices;
    std::vector<MeshTri> tris;
    std::vector<MeshVec> markers;  // unreferenced vertices written to fix the mesh's extents
    int current = 0;
    MeshXform xf;                  // applied to everything added
};

// Adds a material (or reuses one of the same name) and makes it current.
int mesh_material(Mesh& m, const std::string& name, float r, float g, float b, float ns = 96);
void mesh_use(Mesh& m, int material);

// Flat triangle and quad, counter-clockwise seen from the outside.
void mesh_tri(Mesh& m, MeshVec a, MeshVec b, MeshVec c);
void mesh_quad(Mesh& m, MeshVec a, MeshVec b, MeshVec c, MeshVec d);
// Axis-aligned box in the current transform.
void mesh_box(Mesh& m, MeshVec lo, MeshVec hi);
// Hexahedron from its eight corners: bottom face c[0..3] then top face c[4..7], both listed
// counter-clockwise seen from above (+Y); faces are flat.
void mesh_hexa(Mesh& m, const MeshVec c[8]);
// Frustum (cylinder or cone) from a (radius ra) to b (radius rb) with smooth sides;
// caps closes the ends that have a radius; smooth false gives flat facets (octagonal plinths).
void mesh_frustum(Mesh& m, MeshVec a, MeshVec b, float ra, float rb, int segments, bool caps = true,
                  bool smooth = true);
// Thin rod of square section between two points (ropes, straps, antennas).
void mesh_rod(Mesh& m, MeshVec a, MeshVec b, float half_width);
// Ellipsoid with smooth normals; lat_from/lat_to in degrees (-90..90) allow domes.
void mesh_ellipsoid(Mesh& m, MeshVec centre, MeshVec radii, int segments, int rings,
                    float lat_from = -90, float lat_to = 90, bool cap_open_end = true);
// Open dome shell seen from outside and inside (parachute canopies): both sides emitted.
void mesh_shell(Mesh& m, MeshVec centre, MeshVec radii, int segments, int rings, float lat_from, float lat_to);
// Polygon in the local XY plane (counter-clockwise, simple, may be concave) extruded along
// local Z from z0 to z1 (z1 > z0): front face at z1 facing +Z, back at z0.
void mesh_extrude(Mesh& m, const std::vector<MeshVec>& outline, float z0, float z1);
// Ring sector in the local XY plane extruded along Z (gears, rings, brackets).
void mesh_ring(Mesh& m, float r_in, float r_out, float a0_deg, float a1_deg, int segments, float z0, float z1);
// Adds an unreferenced vertex at p (after the current transform).
void mesh_marker(Mesh& m, MeshVec p);

// Adds mesh b (with its materials) to a.
void mesh_append(Mesh& a, const Mesh& b);

struct MeshStats {
    MeshVec lo, hi;
    float radius = 0;  // largest vertex distance from the origin, markers included
};
MeshStats mesh_stats(const Mesh& m);

// Triangulates a simple polygon (counter-clockwise); returns index triples.
std::vector<int> mesh_triangulate(const std::vector<MeshVec>& outline);

// Writes game_dir/rel_path (an .obj) and the .mtl beside it. Coordinates are converted from
// game (x, y, z) to file (x, -z, y) and multiplied by file_scale. Returns false after
// printing one line on failure.
bool mesh_write_obj(const Mesh& m, const std::string& game_dir, const std::string& rel_path, float file_scale = 1);
// The same two files as text, for tests and for the writer.
void mesh_format_obj(const Mesh& m, const std::string& mtl_name, float file_scale, std::string& obj,
                     std::string& mtl);

