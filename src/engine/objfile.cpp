// Wavefront OBJ/MTL loading: field scanning and token splitting without copies, the two passes
// over an OBJ file (count, then fill) and the material library reader.
#include "engine/console_text.h"
#include "engine/objfile.h"

#include "engine/engine_globals.h"
#include "engine/log.h"
#include "engine/modeldb.h"
#include "engine/texture.h"

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

ObjTextureLoader g_texture_loader = LOAD_TEXTURE;

// Largest triangle count reserved ahead of the fill pass; beyond it the array simply grows.
constexpr uint64_t kMaxReserve = 16u * 1024u * 1024u;

// Next field of R as a view, scanned in place with the reader's separators (leading blanks
// skipped, ends at a comma, CR, LF or CR LF). A double quote is an ordinary character here: mesh
// and material text quotes nothing, and a stray quote must not swallow the lines after it. An
// over-long field is cut at FIELD_MAX_BYTES as the reader cuts it (the rest is skipped).
std::string_view next_field(FieldReader& r, std::string& /*slow*/) {
    const std::string& b = r.bytes;
    const size_t n = b.size();
    size_t s = r.pos < n ? r.pos : n;
    while (s < n && (b[s] == ' ' || b[s] == '\t')) ++s;
    // The field ends at the first comma, CR or LF: find the line end, then look for an
    // earlier comma or CR inside the line.
    const char* base = b.data();
    const char* line_end = static_cast<const char*>(std::memchr(base + s, '\n', n - s));
    size_t e = line_end ? static_cast<size_t>(line_end - base) : n;
    if (const void* comma = std::memchr(base + s, ',', e - s)) e = static_cast<size_t>(static_cast<const char*>(comma) - base);
    if (const void* cr = std::memchr(base + s, '\r', e - s)) e = static_cast<size_t>(static_cast<const char*>(cr) - base);
    size_t q = e;
    if (q < n) {
        if (b[q] == '\r') {
            ++q;
            if (q < n && b[q] == '\n') ++q;
        } else {
            ++q;
        }
    }
    r.pos = q;
    if (e - s > FIELD_MAX_BYTES) {
        ++r.long_fields;
        kv_log("text field at byte %zu longer than %zu bytes: cut to %zu bytes", s, FIELD_MAX_BYTES,
                     FIELD_MAX_BYTES);
        e = s + FIELD_MAX_BYTES;
    }
    return std::string_view(b.data() + s, e - s);
}

bool is_token_separator(char c) { return c == ' ' || c == '\t'; }

// Splits FIELD at every single space or tab into TOKENS, as STR_EXPLODE(" ", FIELD) does with
// spaces (consecutive separators give empty tokens); returns the number of separators found.
size_t split_spaces(std::string_view field, std::vector<std::string_view>& tokens) {
    tokens.clear();
    size_t from = 0;
    for (size_t i = 0; i < field.size(); ++i) {
        if (is_token_separator(field[i])) {
            tokens.push_back(field.substr(from, i - from));
            from = i + 1;
        }
    }
    tokens.push_back(field.substr(from));
    return tokens.size() - 1;
}

std::string_view token(const std::vector<std::string_view>& tokens, size_t i) {
    return i < tokens.size() ? tokens[i] : std::string_view();
}

// Lenient number: the common plain forms are converted here exactly as strtod would (the
// mantissa and the power of ten are both exact doubles, so one operation rounds correctly);
// anything else goes through the shared parser.
double parse_number(std::string_view t) {
    constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    size_t i = 0;
    const size_t n = t.size();
    bool negative = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    uint64_t mantissa = 0;
    int digits = 0, significant = 0, exp10 = 0;
    while (i < n && t[i] >= '0' && t[i] <= '9') {
        if (significant > 0 || t[i] != '0') ++significant;
        mantissa = mantissa * 10 + static_cast<uint64_t>(t[i] - '0');
        ++digits;
        ++i;
        if (significant > 18) return text_to_number(std::string(t));
    }
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && t[i] >= '0' && t[i] <= '9') {
            if (significant > 0 || t[i] != '0') ++significant;
            mantissa = mantissa * 10 + static_cast<uint64_t>(t[i] - '0');
            ++digits;
            --exp10;
            ++i;
            if (significant > 18) return text_to_number(std::string(t));
        }
    }
    if (digits == 0) return text_to_number(std::string(t));
    if (i < n) {
        // An exponent (or leading blanks, or trailing text): leave it to the shared parser.
        if (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D' || t[i] == '\t') return text_to_number(std::string(t));
    }
    if (mantissa > (uint64_t(1) << 53) || exp10 < -22) return text_to_number(std::string(t));
    double v = static_cast<double>(mantissa);
    if (exp10 < 0) v /= kPow10[-exp10];
    return negative ? -v : v;
}

float parse_single(std::string_view t) {
    const double v = parse_number(t);
    if (v > FLT_MAX) return FLT_MAX;
    if (v < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(v);
}

// Lenient integer: plain digit strings directly, everything else by the shared rule (rounded
// to nearest, halves to even, saturating).
int64_t parse_index(std::string_view t) {
    if (!t.empty() && t.size() <= 9) {
        int64_t v = 0;
        bool plain = true;
        for (char c : t) {
            if (c < '0' || c > '9') {
                plain = false;
                break;
            }
            v = v * 10 + (c - '0');
        }
        if (plain) return v;
    }
    return text_to_int(std::string(t));
}

// A corner v/vt/vn resolved against the counted arrays; false when any index is missing or
// outside its range.
bool resolve_corner(std::string_view corner, const MODEL3D& m, uint32_t& v, uint32_t& vt, uint32_t& vn) {
    const size_t s1 = corner.find('/');
    if (s1 == std::string_view::npos) return false;
    const size_t s2 = corner.find('/', s1 + 1);
    if (s2 == std::string_view::npos) return false;
    size_t s3 = corner.find('/', s2 + 1);
    if (s3 == std::string_view::npos) s3 = corner.size();
    const int64_t iv = parse_index(corner.substr(0, s1));
    const int64_t it = parse_index(corner.substr(s1 + 1, s2 - s1 - 1));
    const int64_t in = parse_index(corner.substr(s2 + 1, s3 - s2 - 1));
    if (iv < 1 || iv > int64_t(m.MAX_VERTICES) || it < 1 || it > int64_t(m.MAX_UVS) || in < 1 ||
        in > int64_t(m.MAX_NORMALS))
        return false;
    v = static_cast<uint32_t>(iv - 1);
    vt = static_cast<uint32_t>(it - 1);
    vn = static_cast<uint32_t>(in - 1);
    return true;
}

// Appends one triangle from three corners; false when a corner does not resolve.
bool add_triangle(MODEL3D& m, std::string_view c1, std::string_view c2, std::string_view c3, int32_t material) {
    TRIANGLE3D t;
    const std::string_view corners[3] = {c1, c2, c3};
    for (int k = 0; k < 3; ++k) {
        uint32_t v = 0, vt = 0, vn = 0;
        if (!resolve_corner(corners[k], m, v, vt, vn)) return false;
        t.POINT_ID[k] = v;
        t.TEXCOORD[k] = m.UVS[vt];
        t.VNORMAL[k] = vn;
    }
    t.MATERIAL = material;
    // The array always has room for at least one triangle; the count says how many are real.
    if (m.MAX_TRIANGLES < m.TRIANGLES.size()) {
        m.TRIANGLES[m.MAX_TRIANGLES] = t;
    } else {
        try {
            m.TRIANGLES.push_back(t);
        } catch (const std::bad_alloc&) {
            kv_log("Unable to Resize Faces");
            return true;  // not a resolution failure: the message is the report
        }
    }
    ++m.MAX_TRIANGLES;
    return true;
}

bool allocate_arrays(MODEL3D& m, uint64_t reserve_triangles) {
    try {
        m.VERTICES.assign(m.MAX_VERTICES, VECTOR3D{});
        m.VERTEXCOLORS.assign(m.MAX_VERTICES, RGBALPHA{});
        m.VNORMALS.assign(m.MAX_NORMALS, VECTOR3D{});
        m.UVS.assign(m.MAX_UVS, UV2D{});
        m.TRIANGLES.assign(1, TRIANGLE3D{});
    } catch (const std::bad_alloc&) {
        m = MODEL3D{};
        return false;
    }
    if (reserve_triangles > 1 && reserve_triangles <= kMaxReserve) {
        try {
            m.TRIANGLES.reserve(static_cast<size_t>(reserve_triangles));
        } catch (const std::bad_alloc&) {
            // grows one step at a time instead
        }
    }
    return true;
}

}  // namespace

void objfile_set_texture_loader(ObjTextureLoader loader) { g_texture_loader = loader; }

std::string OBJFILE_GETDIRECTORY(const std::string& PATH) {
    const size_t slash = PATH.rfind('/');
    return slash == std::string::npos ? std::string() : PATH.substr(0, slash + 1);
}

uint32_t objfile_read(MODEL3D& m, FieldReader& r, const std::string& directory) {
    std::vector<std::string_view> tokens;
    std::string slow;

    // First pass: count vertices, texture coordinates and normals (and estimate triangles).
    const size_t start = r.pos;
    uint64_t vertices = 0, uvs = 0, normals = 0, triangle_estimate = 0;
    while (!field_eof(r)) {
        const std::string_view f = next_field(r, slow);
        const size_t sp = f.find_first_of(" \t");
        const std::string_view key = f.substr(0, sp);
        if (key.size() == 1) {
            if (key[0] == 'v') ++vertices;
            else if (key[0] == 'f') triangle_estimate += std::count_if(f.begin(), f.end(), is_token_separator) == 4 ? 2 : 1;
        } else if (key == "vt") {
            ++uvs;
        } else if (key == "vn") {
            ++normals;
        }
    }
    const uint64_t limit = UINT32_MAX;
    m.MAX_VERTICES = static_cast<uint32_t>(vertices < limit ? vertices : limit);
    m.MAX_UVS = static_cast<uint32_t>(uvs < limit ? uvs : limit);
    m.MAX_NORMALS = static_cast<uint32_t>(normals < limit ? normals : limit);
    if (!allocate_arrays(m, triangle_estimate)) {
        kv_log("Unable to allocate the mesh arrays");
        return 0;
    }

    // Second pass: fill. Materials are found by name through an index (the last material of a
    // name wins), and each material library is read once however often it is named.
    r.pos = start;
    uint32_t nv = 0, nt = 0, nn = 0, skipped = 0;
    int32_t material = 0;
    std::unordered_map<std::string, int32_t> by_name;
    struct Library {
        std::vector<MODELMATERIALTYPE> materials;
        uint32_t count = 0;
    };
    std::unordered_map<std::string, Library> libraries;
    while (!field_eof(r)) {
        const std::string_view f = next_field(r, slow);
        const size_t separators = split_spaces(f, tokens);
        const std::string_view key = tokens[0];
        if (key == "v") {
            if (nv < m.MAX_VERTICES) {
                VECTOR3D& v = m.VERTICES[nv++];
                v.X = parse_single(token(tokens, 1));
                v.Y = parse_single(token(tokens, 3));
                v.Z = -parse_single(token(tokens, 2));
            }
        } else if (key == "vt") {
            if (nt < m.MAX_UVS) {
                UV2D& uv = m.UVS[nt++];
                uv.U = parse_single(token(tokens, 1));
                uv.V = -parse_single(token(tokens, 2));
            }
        } else if (key == "vn") {
            if (nn < m.MAX_NORMALS) {
                VECTOR3D& v = m.VNORMALS[nn++];
                v.X = parse_single(token(tokens, 1));
                v.Y = parse_single(token(tokens, 3));
                v.Z = -parse_single(token(tokens, 2));
            }
        } else if (key == "f") {
            if (separators == 4) {
                skipped += !add_triangle(m, token(tokens, 1), token(tokens, 2), token(tokens, 4), material);
                skipped += !add_triangle(m, token(tokens, 2), token(tokens, 3), token(tokens, 4), material);
            } else {
                skipped += !add_triangle(m, token(tokens, 1), token(tokens, 2), token(tokens, 3), material);
            }
        } else if (key == "usemtl") {
            const auto found = by_name.find(std::string(token(tokens, 1)));
            if (found != by_name.end()) material = found->second;
        } else if (key == "mtllib") {
            const std::string path = directory + std::string(token(tokens, 1));
            const auto known = libraries.find(path);
            if (known != libraries.end()) {
                m.MATERIALS = known->second.materials;
                m.MAX_MATERIALS = known->second.count;
            } else {
                FieldReader mtl;
                const bool read = field_reader_open(mtl, path);
                if (!read)
                    kv_log("cannot read material library %s (%s): no materials from it", console_safe(path).c_str(),
                                mtl.error.c_str());
                objfile_read_materials(m, mtl, OBJFILE_GETDIRECTORY(path));
                if (read && m.MAX_MATERIALS == 0)
                    kv_log("material library %s defines no materials", console_safe(path).c_str());
                libraries[path] = Library{m.MATERIALS, m.MAX_MATERIALS};
            }
            by_name.clear();
            for (uint32_t i = 0; i < m.MAX_MATERIALS && i < m.MATERIALS.size(); ++i) {
                const char* name = m.MATERIALS[i].MATERIALNAME;
                by_name[std::string(name, strnlen(name, sizeof m.MATERIALS[i].MATERIALNAME))] = static_cast<int32_t>(i);
            }
        }
    }
    try {
        m.VOLUME.assign(static_cast<size_t>(m.MAX_TRIANGLES) * 9, VECTOR3D{});
    } catch (const std::bad_alloc&) {
        m.VOLUME.clear();
    }
    return skipped;
}

void objfile_read_materials(MODEL3D& m, FieldReader& r, const std::string& directory) {
    m.MATERIALS.assign(1, MODELMATERIALTYPE{});
    m.MAX_MATERIALS = 0;
    std::vector<std::string_view> tokens;
    std::string slow;
    uint32_t current = 0;
    while (!field_eof(r)) {
        const std::string_view f = next_field(r, slow);
        split_spaces(f, tokens);
        const std::string_view key = tokens[0];
        if (key == "newmtl") {
            if (m.MAX_MATERIALS >= m.MATERIALS.size()) {
                try {
                    m.MATERIALS.push_back(MODELMATERIALTYPE{});
                } catch (const std::bad_alloc&) {
                    kv_log("Unable to Resize Material");
                    continue;
                }
            }
            current = m.MAX_MATERIALS++;
            MODELMATERIALTYPE& mat = m.MATERIALS[current];
            const std::string_view name = token(tokens, 1).substr(0, MODEL_MATERIALNAME_LEN);
            std::memset(mat.MATERIALNAME, 0, sizeof mat.MATERIALNAME);
            if (!name.empty()) std::memcpy(mat.MATERIALNAME, name.data(), name.size());
            continue;
        }
        MODELMATERIALTYPE& mat = m.MATERIALS[current];
        if (key == "d") {
            mat.ALPHA = parse_single(token(tokens, 1));
        } else if (key == "Kd") {
            mat.R = parse_single(token(tokens, 1));
            mat.G = parse_single(token(tokens, 2));
            mat.B = parse_single(token(tokens, 3));
        } else if (key == "Ns") {
            float h = parse_single(token(tokens, 1)) / 1024.0f * 128.0f;
            mat.HARDNESS = h < 0.0f ? 0.0f : (h > 128.0f ? 128.0f : h);
        } else if (key == "map_Kd") {
            mat.HASTEX = 1;
            mat.TEXTURE = 0;
            if (g_texture_loader != nullptr) g_texture_loader(mat.TEXTURE, directory + std::string(token(tokens, 1)));
        }
    }
}

void OBJFILE_LOADMATERIALLIBRARY(int32_t MODELINDEX, const std::string& FILENAME) {
    MODEL3D* m = modeldb_model(MODELINDEX);
    if (m == nullptr) {
        kv_log("material library %s: no model %d to load it into", console_safe(FILENAME).c_str(), MODELINDEX);
        return;
    }
    FieldReader r;
    const bool read = field_reader_open(r, FILENAME);
    if (!read)
        kv_log("cannot read material library %s (%s): no materials from it", console_safe(FILENAME).c_str(), r.error.c_str());
    objfile_read_materials(*m, r, OBJFILE_GETDIRECTORY(FILENAME));
    if (read && m->MAX_MATERIALS == 0) kv_log("material library %s defines no materials", console_safe(FILENAME).c_str());
}

int32_t OBJFILE_LOAD(const std::string& FILENAME) {
    const int32_t known = modeldb_find(FILENAME);
    if (known >= 0) return known;
    const std::string directory = OBJFILE_GETDIRECTORY(FILENAME);
    const int32_t index = modeldb_append(FILENAME);
    MODEL3D* m = modeldb_model(index);
    if (m == nullptr) return index;
    FieldReader r;
    const bool read = field_reader_open(r, FILENAME);
    if (!read) kv_log("cannot read mesh %s (%s): it stays empty", console_safe(FILENAME).c_str(), r.error.c_str());
    const uint32_t skipped = objfile_read(*m, r, directory);
    if (skipped > 0)
        kv_log("mesh %s: %u triangles skipped (corner without v/vt/vn indices in range)", console_safe(FILENAME).c_str(), skipped);
    if (read && m->MAX_TRIANGLES == 0) kv_log("mesh %s holds no triangles: it stays empty", console_safe(FILENAME).c_str());
    return index;
}
