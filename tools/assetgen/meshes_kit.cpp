// The mesh-building toolkit of assetgen (see mesh_kit.h): primitives in game coordinates and
// the deterministic OBJ/MTL writer.
#include "mesh_kit.h"

#include "assetgen.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <system_error>

namespace {
constexpr float kPi = 3.14159265358979f;

float rad(float deg) { return deg * kPi / 180.0f; }

float det3(const float* m) {
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
           m[2] * (m[3] * m[7] - m[4] * m[6]);
}

// Texture coordinates by box projection on the dominant axis of the normal.
void planar_uv(MeshVertex& v) {
    const float ax = std::fabs(v.n.x), ay = std::fabs(v.n.y), az = std::fabs(v.n.z);
    if (ay >= ax && ay >= az) {
        v.u = v.p.x * 0.5f;
        v.v = v.p.z * 0.5f;
    } else if (ax >= az) {
        v.u = v.p.z * 0.5f;
        v.v = v.p.y * 0.5f;
    } else {
        v.u = v.p.x * 0.5f;
        v.v = v.p.y * 0.5f;
    }
}

// Emits one triangle given in local coordinates; normals null means flat shading.
void emit(Mesh& m, MeshVec a, MeshVec b, MeshVec c, const MeshVec* normals) {
    MeshVec p[3] = {xf_point(m.xf, a), xf_point(m.xf, b), xf_point(m.xf, c)};
    const MeshVec face = mesh_cross(p[1] - p[0], p[2] - p[0]);
    const float area2 = mesh_length(face);
    if (!(area2 > 1e-7f)) return;  // degenerate (pole of a sphere, zero-length rod)
    MeshVec n[3];
    if (normals) {
        for (int k = 0; k < 3; ++k) n[k] = mesh_normalized(xf_normal(m.xf, normals[k]));
    } else {
        n[0] = n[1] = n[2] = face * (1.0f / area2);
    }
    if (det3(m.xf.m) < 0) {  // a mirroring transform turns the winding round
        std::swap(p[1], p[2]);
        std::swap(n[1], n[2]);
        if (!normals) n[0] = n[1] = n[2] = n[0] * -1.0f;
    }
    MeshTri t;
    t.material = m.current;
    int* idx[3] = {&t.a, &t.b, &t.c};
    for (int k = 0; k < 3; ++k) {
        MeshVertex v;
        v.p = p[k];
        v.n = n[k];
        planar_uv(v);
        *idx[k] = static_cast<int>(m.vertices.size());
        m.vertices.push_back(v);
    }
    m.tris.push_back(t);
}

void emit_quad_smooth(Mesh& m, MeshVec a, MeshVec b, MeshVec c, MeshVec d, MeshVec na, MeshVec nb, MeshVec nc,
                      MeshVec nd) {
    const MeshVec n1[3] = {na, nb, nc};
    const MeshVec n2[3] = {na, nc, nd};
    emit(m, a, b, c, n1);
    emit(m, a, c, d, n2);
}

// Any unit vector perpendicular to d.
MeshVec perpendicular(MeshVec d) {
    MeshVec t = std::fabs(d.y) < 0.9f ? MeshVec{0, 1, 0} : MeshVec{1, 0, 0};
    return mesh_normalized(mesh_cross(t, d));
}

std::string fmt(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(v));
    std::string s = buf;
    if (s == "-0.0000") s = "0.0000";
    return s;
}
}  // namespace

MeshVec operator+(MeshVec a, MeshVec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
MeshVec operator-(MeshVec a, MeshVec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
MeshVec operator*(MeshVec a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float mesh_dot(MeshVec a, MeshVec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
MeshVec mesh_cross(MeshVec a, MeshVec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float mesh_length(MeshVec a) { return std::sqrt(mesh_dot(a, a)); }
MeshVec mesh_normalized(MeshVec a) {
    const float l = mesh_length(a);
    return l > 0 ? a * (1.0f / l) : MeshVec{0, 1, 0};
}

MeshXform xf_identity() { return MeshXform{}; }
MeshXform xf_translate(float x, float y, float z) {
    MeshXform r;
    r.t = {x, y, z};
    return r;
}
MeshXform xf_scale(float x, float y, float z) {
    MeshXform r;
    r.m[0] = x;
    r.m[4] = y;
    r.m[8] = z;
    return r;
}
MeshXform xf_rotate_x(float degrees) {
    const float c = std::cos(rad(degrees)), s = std::sin(rad(degrees));
    MeshXform r;
    r.m[4] = c;
    r.m[5] = -s;
    r.m[7] = s;
    r.m[8] = c;
    return r;
}
MeshXform xf_rotate_y(float degrees) {
    const float c = std::cos(rad(degrees)), s = std::sin(rad(degrees));
    MeshXform r;
    r.m[0] = c;
    r.m[2] = s;
    r.m[6] = -s;
    r.m[8] = c;
    return r;
}
MeshXform xf_rotate_z(float degrees) {
    const float c = std::cos(rad(degrees)), s = std::sin(rad(degrees));
    MeshXform r;
    r.m[0] = c;
    r.m[1] = -s;
    r.m[3] = s;
    r.m[4] = c;
    return r;
}
MeshXform operator*(const MeshXform& a, const MeshXform& b) {
    MeshXform r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i * 3 + j] = a.m[i * 3] * b.m[j] + a.m[i * 3 + 1] * b.m[3 + j] + a.m[i * 3 + 2] * b.m[6 + j];
    r.t = xf_point(a, b.t);
    return r;
}
MeshVec xf_point(const MeshXform& x, MeshVec p) {
    return {x.m[0] * p.x + x.m[1] * p.y + x.m[2] * p.z + x.t.x, x.m[3] * p.x + x.m[4] * p.y + x.m[5] * p.z + x.t.y,
            x.m[6] * p.x + x.m[7] * p.y + x.m[8] * p.z + x.t.z};
}
MeshVec xf_normal(const MeshXform& x, MeshVec n) {
    // Inverse transpose of the linear part, up to the determinant (normalised afterwards).
    const float* m = x.m;
    const float c[9] = {m[4] * m[8] - m[5] * m[7], m[5] * m[6] - m[3] * m[8], m[3] * m[7] - m[4] * m[6],
                        m[2] * m[7] - m[1] * m[8], m[0] * m[8] - m[2] * m[6], m[1] * m[6] - m[0] * m[7],
                        m[1] * m[5] - m[2] * m[4], m[2] * m[3] - m[0] * m[5], m[0] * m[4] - m[1] * m[3]};
    MeshVec r = {c[0] * n.x + c[1] * n.y + c[2] * n.z, c[3] * n.x + c[4] * n.y + c[5] * n.z,
                 c[6] * n.x + c[7] * n.y + c[8] * n.z};
    if (det3(m) < 0) r = r * -1.0f;
    return mesh_normalized(r);
}
MeshXform xf_along(MeshVec a, MeshVec b) {
    const MeshVec d = b - a;
    const float len = mesh_length(d);
    const MeshVec y = mesh_normalized(d);
    const MeshVec x = perpendicular(y);
    const MeshVec z = mesh_cross(x, y);
    MeshXform r;
    r.m[0] = x.x;
    r.m[1] = y.x * len;
    r.m[2] = z.x;
    r.m[3] = x.y;
    r.m[4] = y.y * len;
    r.m[5] = z.y;
    r.m[6] = x.z;
    r.m[7] = y.z * len;
    r.m[8] = z.z;
    r.t = a;
    return r;
}

int mesh_material(Mesh& m, const std::string& name, float r, float g, float b, float ns) {
    for (size_t i = 0; i < m.materials.size(); ++i)
        if (m.materials[i].name == name) {
            m.current = static_cast<int>(i);
            return m.current;
        }
    MeshMaterial mat;
    mat.name = name;
    mat.r = r;
    mat.g = g;
    mat.b = b;
    mat.ns = ns;
    m.materials.push_back(mat);
    m.current = static_cast<int>(m.materials.size()) - 1;
    return m.current;
}

void mesh_use(Mesh& m, int material) { m.current = material; }

void mesh_tri(Mesh& m, MeshVec a, MeshVec b, MeshVec c) { emit(m, a, b, c, nullptr); }

void mesh_quad(Mesh& m, MeshVec a, MeshVec b, MeshVec c, MeshVec d) {
    emit(m, a, b, c, nullptr);
    emit(m, a, c, d, nullptr);
}

void mesh_box(Mesh& m, MeshVec lo, MeshVec hi) {
    const MeshVec c[8] = {{lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z},
                          {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}};
    mesh_hexa(m, c);
}

void mesh_hexa(Mesh& m, const MeshVec c[8]) {
    mesh_quad(m, c[4], c[5], c[6], c[7]);
    mesh_quad(m, c[0], c[3], c[2], c[1]);
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        mesh_quad(m, c[i], c[j], c[4 + j], c[4 + i]);
    }
}

void mesh_frustum(Mesh& m, MeshVec a, MeshVec b, float ra, float rb, int segments, bool caps, bool smooth) {
    const MeshVec axis = b - a;
    const float len = mesh_length(axis);
    if (!(len > 0) || segments < 3) return;
    const MeshVec d = axis * (1.0f / len);
    const MeshVec u = perpendicular(d);
    const MeshVec v = mesh_cross(d, u);
    std::vector<MeshVec> ca, cb, n;
    for (int i = 0; i <= segments; ++i) {
        const float t = 2 * kPi * static_cast<float>(i % segments) / static_cast<float>(segments);
        const MeshVec radial = u * std::cos(t) + v * std::sin(t);
        ca.push_back(a + radial * ra);
        cb.push_back(b + radial * rb);
        n.push_back(mesh_normalized(radial + d * ((ra - rb) / len)));
    }
    for (int i = 0; i < segments; ++i) {
        if (!smooth) {
            if (ra > 0 && rb > 0) {
                mesh_quad(m, ca[i], ca[i + 1], cb[i + 1], cb[i]);
            } else if (ra > 0) {
                mesh_tri(m, ca[i], ca[i + 1], b);
            } else if (rb > 0) {
                mesh_tri(m, a, cb[i + 1], cb[i]);
            }
        } else if (ra > 0 && rb > 0) {
            emit_quad_smooth(m, ca[i], ca[i + 1], cb[i + 1], cb[i], n[i], n[i + 1], n[i + 1], n[i]);
        } else if (ra > 0) {  // cone with its tip at b
            const MeshVec nt = mesh_normalized(n[i] + n[i + 1]);
            const MeshVec nn[3] = {n[i], n[i + 1], nt};
            emit(m, ca[i], ca[i + 1], b, nn);
        } else if (rb > 0) {  // cone with its tip at a
            const MeshVec nt = mesh_normalized(n[i] + n[i + 1]);
            const MeshVec nn[3] = {nt, n[i + 1], n[i]};
            emit(m, a, cb[i + 1], cb[i], nn);
        }
    }
    if (!caps) return;
    for (int i = 0; i < segments; ++i) {
        if (rb > 0) mesh_tri(m, b, cb[i], cb[i + 1]);
        if (ra > 0) mesh_tri(m, a, ca[i + 1], ca[i]);
    }
}

void mesh_rod(Mesh& m, MeshVec a, MeshVec b, float half_width) {
    const MeshVec axis = b - a;
    if (!(mesh_length(axis) > 0)) return;
    const MeshVec d = mesh_normalized(axis);
    const MeshVec u = perpendicular(d) * half_width;
    const MeshVec v = mesh_cross(d, perpendicular(d)) * half_width;
    // Bottom ring around a, top ring around b, listed so that the hexahedron faces outwards.
    const MeshVec c[8] = {a - u - v, a - u + v, a + u + v, a + u - v, b - u - v, b - u + v, b + u + v, b + u - v};
    // The hexahedron expects "up" along the rod; check orientation and flip if needed.
    const MeshVec test = mesh_cross(c[1] - c[0], c[2] - c[0]);
    if (mesh_dot(test, d) < 0) {
        const MeshVec f[8] = {c[0], c[3], c[2], c[1], c[4], c[7], c[6], c[5]};
        mesh_hexa(m, f);
    } else {
        mesh_hexa(m, c);
    }
}

void mesh_ellipsoid(Mesh& m, MeshVec centre, MeshVec radii, int segments, int rings, float lat_from, float lat_to,
                    bool cap_open_end) {
    auto point = [&](float lat, float lon, MeshVec& p, MeshVec& n) {
        float cl = std::cos(lat);
        if (std::fabs(cl) < 1e-5f) cl = 0;  // exact poles, so their triangles collapse and are dropped
        const MeshVec s = {cl * std::cos(lon), std::sin(lat), cl * std::sin(lon)};
        p = {centre.x + radii.x * s.x, centre.y + radii.y * s.y, centre.z + radii.z * s.z};
        n = mesh_normalized({s.x / radii.x, s.y / radii.y, s.z / radii.z});
    };
    const float l0 = rad(lat_from), l1 = rad(lat_to);
    for (int j = 0; j < rings; ++j) {
        const float la = l0 + (l1 - l0) * j / rings, lb = l0 + (l1 - l0) * (j + 1) / rings;
        for (int i = 0; i < segments; ++i) {
            const float oa = 2 * kPi * i / segments, ob = 2 * kPi * ((i + 1) % segments) / segments;
            MeshVec p[4], n[4];
            point(la, oa, p[0], n[0]);
            point(lb, oa, p[1], n[1]);
            point(lb, ob, p[2], n[2]);
            point(la, ob, p[3], n[3]);
            const MeshVec n1[3] = {n[0], n[1], n[2]};
            const MeshVec n2[3] = {n[0], n[2], n[3]};
            emit(m, p[0], p[1], p[2], n1);
            emit(m, p[0], p[2], p[3], n2);
        }
    }
    if (!cap_open_end) return;
    // Close a cut end with a flat disc.
    for (int end = 0; end < 2; ++end) {
        const float lat = end == 0 ? l0 : l1;
        if (std::fabs(std::cos(lat)) < 1e-4f) continue;
        const MeshVec c = {centre.x, centre.y + radii.y * std::sin(lat), centre.z};
        for (int i = 0; i < segments; ++i) {
            const float oa = 2 * kPi * i / segments, ob = 2 * kPi * ((i + 1) % segments) / segments;
            MeshVec pa, pb, na, nb;
            point(lat, oa, pa, na);
            point(lat, ob, pb, nb);
            if (end == 0)
                mesh_tri(m, c, pa, pb);
            else
                mesh_tri(m, c, pb, pa);
        }
    }
}

void mesh_shell(Mesh& m, MeshVec centre, MeshVec radii, int segments, int rings, float lat_from, float lat_to) {
    const size_t first = m.tris.size();
    mesh_ellipsoid(m, centre, radii, segments, rings, lat_from, lat_to, false);
    const size_t last = m.tris.size();
    for (size_t i = first; i < last; ++i) {
        MeshTri t = m.tris[i];
        MeshTri r;
        r.material = t.material;
        const int src[3] = {t.a, t.c, t.b};
        int* dst[3] = {&r.a, &r.b, &r.c};
        for (int k = 0; k < 3; ++k) {
            MeshVertex v = m.vertices[src[k]];
            v.n = v.n * -1.0f;
            *dst[k] = static_cast<int>(m.vertices.size());
            m.vertices.push_back(v);
        }
        m.tris.push_back(r);
    }
}

std::vector<int> mesh_triangulate(const std::vector<MeshVec>& outline) {
    std::vector<int> out;
    std::vector<int> idx;
    for (size_t i = 0; i < outline.size(); ++i) idx.push_back(static_cast<int>(i));
    auto cross2 = [&](int a, int b, int c) {
        const MeshVec &p = outline[a], &q = outline[b], &r = outline[c];
        return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    };
    auto inside = [&](int a, int b, int c, int p) {
        return cross2(a, b, p) > 1e-7f && cross2(b, c, p) > 1e-7f && cross2(c, a, p) > 1e-7f;
    };
    int guard = 0;
    while (idx.size() > 3 && guard < 100000) {
        ++guard;
        bool clipped = false;
        const size_t n = idx.size();
        for (size_t i = 0; i < n; ++i) {
            const int a = idx[(i + n - 1) % n], b = idx[i], c = idx[(i + 1) % n];
            if (cross2(a, b, c) <= 1e-9f) continue;  // reflex or flat corner
            bool ear = true;
            for (size_t k = 0; k < n && ear; ++k) {
                const int p = idx[k];
                if (p == a || p == b || p == c) continue;
                if (inside(a, b, c, p)) ear = false;
            }
            if (!ear) continue;
            out.push_back(a);
            out.push_back(b);
            out.push_back(c);
            idx.erase(idx.begin() + static_cast<long>(i));
            clipped = true;
            break;
        }
        if (!clipped) {  // only flat corners left: drop one
            idx.erase(idx.begin());
        }
    }
    if (idx.size() == 3 && cross2(idx[0], idx[1], idx[2]) > 1e-9f) {
        out.push_back(idx[0]);
        out.push_back(idx[1]);
        out.push_back(idx[2]);
    }
    return out;
}

void mesh_extrude(Mesh& m, const std::vector<MeshVec>& outline, float z0, float z1) {
    const std::vector<int> tri = mesh_triangulate(outline);
    auto at = [&](int i, float z) { return MeshVec{outline[i].x, outline[i].y, z}; };
    for (size_t k = 0; k + 2 < tri.size(); k += 3) {
        mesh_tri(m, at(tri[k], z1), at(tri[k + 1], z1), at(tri[k + 2], z1));
        mesh_tri(m, at(tri[k], z0), at(tri[k + 2], z0), at(tri[k + 1], z0));
    }
    const size_t n = outline.size();
    for (size_t i = 0; i < n; ++i) {
        const int a = static_cast<int>(i), b = static_cast<int>((i + 1) % n);
        mesh_quad(m, at(a, z0), at(b, z0), at(b, z1), at(a, z1));
    }
}

void mesh_ring(Mesh& m, float r_in, float r_out, float a0_deg, float a1_deg, int segments, float z0, float z1) {
    const bool full = std::fabs(a1_deg - a0_deg) >= 359.99f;
    auto pt = [&](float r, int i, float z) {
        const float a = rad(a0_deg + (a1_deg - a0_deg) * static_cast<float>(i) / static_cast<float>(segments));
        return MeshVec{r * std::cos(a), r * std::sin(a), z};
    };
    for (int i = 0; i < segments; ++i) {
        mesh_quad(m, pt(r_in, i, z1), pt(r_out, i, z1), pt(r_out, i + 1, z1), pt(r_in, i + 1, z1));
        mesh_quad(m, pt(r_in, i + 1, z0), pt(r_out, i + 1, z0), pt(r_out, i, z0), pt(r_in, i, z0));
        mesh_quad(m, pt(r_out, i, z0), pt(r_out, i + 1, z0), pt(r_out, i + 1, z1), pt(r_out, i, z1));
        if (r_in > 0) mesh_quad(m, pt(r_in, i + 1, z0), pt(r_in, i, z0), pt(r_in, i, z1), pt(r_in, i + 1, z1));
    }
    if (full) return;
    mesh_quad(m, pt(r_in, 0, z0), pt(r_out, 0, z0), pt(r_out, 0, z1), pt(r_in, 0, z1));
    mesh_quad(m, pt(r_out, segments, z0), pt(r_in, segments, z0), pt(r_in, segments, z1), pt(r_out, segments, z1));
}

void mesh_marker(Mesh& m, MeshVec p) { m.markers.push_back(xf_point(m.xf, p)); }

void mesh_append(Mesh& a, const Mesh& b) {
    std::vector<int> remap;
    for (const MeshMaterial& mat : b.materials) remap.push_back(mesh_material(a, mat.name, mat.r, mat.g, mat.b, mat.ns));
    const int base = static_cast<int>(a.vertices.size());
    for (const MeshVertex& v : b.vertices) a.vertices.push_back(v);
    for (MeshTri t : b.tris) {
        t.a += base;
        t.b += base;
        t.c += base;
        t.material = t.material < static_cast<int>(remap.size()) ? remap[t.material] : 0;
        a.tris.push_back(t);
    }
    for (const MeshVec& p : b.markers) a.markers.push_back(p);
}

MeshStats mesh_stats(const Mesh& m) {
    MeshStats s;
    s.lo = {1e30f, 1e30f, 1e30f};
    s.hi = {-1e30f, -1e30f, -1e30f};
    auto take = [&](MeshVec p) {
        s.lo = {std::min(s.lo.x, p.x), std::min(s.lo.y, p.y), std::min(s.lo.z, p.z)};
        s.hi = {std::max(s.hi.x, p.x), std::max(s.hi.y, p.y), std::max(s.hi.z, p.z)};
        s.radius = std::max(s.radius, mesh_length(p));
    };
    for (const MeshTri& t : m.tris) {
        take(m.vertices[t.a].p);
        take(m.vertices[t.b].p);
        take(m.vertices[t.c].p);
    }
    for (const MeshVec& p : m.markers) take(p);
    return s;
}

void mesh_format_obj(const Mesh& m, const std::string& mtl_name, float file_scale, std::string& obj,
                     std::string& mtl) {
    // Distinct corners (position, normal, uv as written) get one index shared by v, vt and vn.
    std::map<std::string, int> seen;
    std::vector<std::string> vlines, vtlines, vnlines;
    std::vector<int> corner(m.vertices.size(), -1);
    auto corner_index = [&](int vi) {
        if (corner[vi] >= 0) return corner[vi];
        const MeshVertex& v = m.vertices[vi];
        // Game (x, y, z) -> file (x, -z, y).
        const std::string lv = "v " + fmt(v.p.x * file_scale) + " " + fmt(-v.p.z * file_scale) + " " +
                               fmt(v.p.y * file_scale);
        const std::string lt = "vt " + fmt(v.u) + " " + fmt(v.v);
        const std::string ln = "vn " + fmt(v.n.x) + " " + fmt(-v.n.z) + " " + fmt(v.n.y);
        const std::string key = lv + "|" + lt + "|" + ln;
        auto it = seen.find(key);
        if (it != seen.end()) return corner[vi] = it->second;
        const int id = static_cast<int>(vlines.size()) + 1;
        seen.emplace(key, id);
        vlines.push_back(lv);
        vtlines.push_back(lt);
        vnlines.push_back(ln);
        return corner[vi] = id;
    };
    std::string faces;
    for (size_t mat = 0; mat < std::max<size_t>(1, m.materials.size()); ++mat) {
        bool any = false;
        for (const MeshTri& t : m.tris) {
            if (static_cast<size_t>(t.material) != mat) continue;
            if (!any && !m.materials.empty()) faces += "usemtl " + m.materials[mat].name + "\n";
            any = true;
            const int a = corner_index(t.a), b = corner_index(t.b), c = corner_index(t.c);
            char buf[128];
            std::snprintf(buf, sizeof buf, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, c, c, c);
            faces += buf;
        }
    }
    obj = "# Kessra Vorn mesh written by assetgen\n";
    obj += "mtllib " + mtl_name + "\n";
    for (const std::string& l : vlines) obj += l + "\n";
    for (const MeshVec& p : m.markers)
        obj += "v " + fmt(p.x * file_scale) + " " + fmt(-p.z * file_scale) + " " + fmt(p.y * file_scale) + "\n";
    for (const std::string& l : vtlines) obj += l + "\n";
    for (const std::string& l : vnlines) obj += l + "\n";
    obj += faces;

    mtl = "# Kessra Vorn materials written by assetgen\n";
    for (const MeshMaterial& mat : m.materials) {
        mtl += "newmtl " + mat.name + "\n";
        mtl += "Ns " + fmt(mat.ns) + "\n";
        mtl += "Kd " + fmt(mat.r) + " " + fmt(mat.g) + " " + fmt(mat.b) + "\n";
        mtl += "d 1.0000\n";
    }
}

bool mesh_write_obj(const Mesh& m, const std::string& game_dir, const std::string& rel_path, float file_scale) {
    for (const MeshMaterial& mat : m.materials) {
        if (mat.name.empty() || mat.name.size() > 15 || mat.name.find_first_of(" ,\t") != std::string::npos) {
            std::fprintf(stderr, "assetgen: %s: material name '%s' is not a short single word\n", rel_path.c_str(),
                         mat.name.c_str());
            return false;
        }
    }
    if (m.tris.empty()) {
        std::fprintf(stderr, "assetgen: %s: mesh has no triangles\n", rel_path.c_str());
        return false;
    }
    const size_t dot = rel_path.rfind('.');
    const size_t slash = rel_path.rfind('/');
    const std::string stem = rel_path.substr(0, dot);
    const std::string mtl_rel = stem + ".mtl";
    const std::string mtl_name = mtl_rel.substr(slash == std::string::npos ? 0 : slash + 1);
    std::string obj, mtl;
    mesh_format_obj(m, mtl_name, file_scale, obj, mtl);
    return write_text_file(game_dir + "/" + mtl_rel, mtl) && write_text_file(game_dir + "/" + rel_path, obj);
}
