// kvdata preview and contact-sheet: renders meshes with their material colours into PNG
// files for modders and for review. A mesh is read the way the game reads it (Z-up file
// turned Y-up) and drawn with fixed-function lighting in a hidden window from three sides:
// a three-quarter view from the front left and above, a side view and a view from above.
// Run under a virtual X server when headless.
#include <GL/gl.h>
#include <GL/glu.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/png_write.h"
#include "kvdata.h"

namespace {

struct PreviewVertex {
    float p[3];
    float n[3];
};
struct PreviewTri {
    PreviewVertex v[3];
    float rgb[3];
};
struct PreviewMesh {
    std::vector<PreviewTri> tris;
    float lo[3] = {1e30f, 1e30f, 1e30f};
    float hi[3] = {-1e30f, -1e30f, -1e30f};
};

// Splits at single spaces like the game's reader (empty tokens kept).
std::vector<std::string> split_spaces(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : line) {
        if (c == ' ') {
            out.push_back(cur);
            cur.clear();
        } else if (c != '\r') {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

float number(const std::string& s) {
    char* end = nullptr;
    const float v = std::strtof(s.c_str(), &end);
    return end == s.c_str() || !std::isfinite(v) ? 0.0f : v;
}

std::string directory_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

struct PreviewMaterial {
    std::string name;
    float rgb[3] = {0.8f, 0.8f, 0.8f};
};

std::vector<PreviewMaterial> read_mtl(const std::string& path) {
    std::vector<PreviewMaterial> mats;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> t = split_spaces(line);
        if (t[0] == "newmtl" && t.size() >= 2) {
            PreviewMaterial m;
            m.name = t[1].substr(0, 16);
            mats.push_back(m);
        } else if (t[0] == "Kd" && t.size() >= 4) {
            if (mats.empty()) mats.emplace_back();
            for (int k = 0; k < 3; ++k) mats.back().rgb[k] = number(t[1 + k]);
        }
    }
    return mats;
}

// Reads an OBJ file into coloured triangles in game coordinates. Returns false with a
// message for a file that cannot be read or holds corners outside its vertex lists.
bool read_obj(const std::string& path, PreviewMesh& mesh, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<std::array<float, 3>> vs, ns;
    std::vector<PreviewMaterial> mats;
    int current = 0;
    std::string line;
    int line_no = 0;
    while (std::getline(in, line)) {
        ++line_no;
        const std::vector<std::string> t = split_spaces(line);
        if (t[0] == "v" && t.size() >= 4) {
            vs.push_back({number(t[1]), number(t[3]), -number(t[2])});
        } else if (t[0] == "vn" && t.size() >= 4) {
            ns.push_back({number(t[1]), number(t[3]), -number(t[2])});
        } else if (t[0] == "mtllib" && t.size() >= 2) {
            mats = read_mtl(directory_of(path) + t[1]);
        } else if (t[0] == "usemtl" && t.size() >= 2) {
            for (size_t i = 0; i < mats.size(); ++i)
                if (mats[i].name == t[1]) current = static_cast<int>(i);
        } else if (t[0] == "f" && t.size() >= 4) {
            int vi[4] = {0, 0, 0, 0}, ni[4] = {0, 0, 0, 0};
            const int corners = t.size() == 5 ? 4 : 3;
            for (int k = 0; k < corners; ++k) {
                const std::string& c = t[1 + k];
                const size_t s1 = c.find('/');
                const size_t s2 = s1 == std::string::npos ? std::string::npos : c.find('/', s1 + 1);
                if (s2 == std::string::npos) {
                    error = path + ":" + std::to_string(line_no) + ": face corner is not v/vt/vn";
                    return false;
                }
                vi[k] = std::atoi(c.substr(0, s1).c_str()) - 1;
                ni[k] = std::atoi(c.substr(s2 + 1).c_str()) - 1;
                if (vi[k] < 0 || vi[k] >= static_cast<int>(vs.size()) || ni[k] < 0 || ni[k] >= static_cast<int>(ns.size())) {
                    error = path + ":" + std::to_string(line_no) + ": face index out of range";
                    return false;
                }
            }
            const int order[2][3] = {{0, 1, corners == 4 ? 3 : 2}, {1, 2, 3}};
            for (int tri = 0; tri < (corners == 4 ? 2 : 1); ++tri) {
                PreviewTri pt;
                for (int k = 0; k < 3; ++k) {
                    const int c = order[tri][k];
                    for (int a = 0; a < 3; ++a) {
                        pt.v[k].p[a] = vs[vi[c]][a];
                        pt.v[k].n[a] = ns[ni[c]][a];
                        mesh.lo[a] = std::min(mesh.lo[a], pt.v[k].p[a]);
                        mesh.hi[a] = std::max(mesh.hi[a], pt.v[k].p[a]);
                    }
                }
                for (int a = 0; a < 3; ++a)
                    pt.rgb[a] = current < static_cast<int>(mats.size()) ? mats[current].rgb[a] : 0.8f;
                mesh.tris.push_back(pt);
            }
        }
    }
    if (mesh.tris.empty()) {
        error = path + ": no faces";
        return false;
    }
    return true;
}

struct View {
    float yaw, pitch;  // camera direction: yaw about Y (0 = from +Z), pitch above the horizon
};
const View kViews[3] = {{45.0f, 25.0f}, {0.0f, 0.0f}, {0.0f, 89.0f}};

// Draws mesh into the viewport (x, y, size) from view v, framed by its bounding sphere.
void draw_view(const PreviewMesh& mesh, int x, int y, int size, const View& v) {
    glViewport(x, y, size, size);
    glScissor(x, y, size, size);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.71f, 0.68f, 0.63f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    float c[3], r = 0;
    for (int a = 0; a < 3; ++a) {
        c[a] = 0.5f * (mesh.lo[a] + mesh.hi[a]);
        r += (mesh.hi[a] - mesh.lo[a]) * (mesh.hi[a] - mesh.lo[a]);
    }
    r = std::max(0.5f * std::sqrt(r), 1e-3f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-r * 1.05, r * 1.05, -r * 1.05, r * 1.05, -r * 4, r * 4);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat light_dir[4] = {-0.4f, 0.8f, 0.6f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light_dir);
    glRotatef(v.pitch, 1, 0, 0);
    glRotatef(v.yaw, 0, 1, 0);
    glTranslatef(-c[0], -c[1], -c[2]);
    glBegin(GL_TRIANGLES);
    for (const PreviewTri& t : mesh.tris) {
        glColor3f(t.rgb[0], t.rgb[1], t.rgb[2]);
        for (const PreviewVertex& pv : t.v) {
            glNormal3fv(pv.n);
            glVertex3fv(pv.p);
        }
    }
    glEnd();
    glDisable(GL_SCISSOR_TEST);
}

struct Window {
    GLFWwindow* w = nullptr;
    ~Window() {
        if (w) glfwDestroyWindow(w);
        glfwTerminate();
    }
};

bool open_window(Window& win, int width, int height) {
    if (!glfwInit()) {
        std::fprintf(stderr, "kvdata preview: cannot start the window system (run under xvfb-run when headless)\n");
        return false;
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    win.w = glfwCreateWindow(width, height, "kvdata preview", nullptr, nullptr);
    if (!win.w) {
        std::fprintf(stderr, "kvdata preview: cannot open an OpenGL window\n");
        return false;
    }
    glfwMakeContextCurrent(win.w);
    int fw = 0, fh = 0;
    glfwGetFramebufferSize(win.w, &fw, &fh);
    if (fw < width || fh < height) {
        std::fprintf(stderr, "kvdata preview: framebuffer %dx%d is smaller than %dx%d\n", fw, fh, width, height);
        return false;
    }
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    const GLfloat ambient[4] = {0.35f, 0.35f, 0.35f, 1};
    const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glEnable(GL_NORMALIZE);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    return true;
}

bool save_frame(int width, int height, const std::string& out) {
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glFinish();
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    std::vector<uint8_t> flipped(px.size());
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::copy(px.begin() + static_cast<long>(row * y), px.begin() + static_cast<long>(row * (y + 1)),
                  flipped.begin() + static_cast<long>(row * (height - 1 - y)));
    if (!png_write_file(out, width, height, 3, flipped.data())) {
        std::fprintf(stderr, "kvdata preview: cannot write %s\n", out.c_str());
        return false;
    }
    return true;
}

constexpr int kCell = 320;

int run_preview(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvdata preview FILE.obj OUT.png\n");
        return 2;
    }
    PreviewMesh mesh;
    std::string error;
    if (!read_obj(argv[1], mesh, error)) {
        std::fprintf(stderr, "kvdata preview: %s\n", error.c_str());
        return 1;
    }
    Window win;
    if (!open_window(win, kCell * 3, kCell)) return 1;
    for (int i = 0; i < 3; ++i) draw_view(mesh, i * kCell, 0, kCell, kViews[i]);
    return save_frame(kCell * 3, kCell, argv[2]) ? 0 : 1;
}

// File name of a mesh's preview in a batch: the path below data/ with "/" turned into "_".
std::string preview_name(std::string path) {
    if (path.rfind("data/", 0) == 0) path = path.substr(5);
    for (char& c : path)
        if (c == '/') c = '_';
    const size_t dot = path.rfind('.');
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ".png";
}

// Many previews with one window: OUTDIR/<name>.png for every mesh named.
int run_previews(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kvdata previews OUTDIR FILE.obj...\n");
        return 2;
    }
    Window win;
    if (!open_window(win, kCell * 3, kCell)) return 1;
    int failed = 0;
    for (int i = 2; i < argc; ++i) {
        PreviewMesh mesh;
        std::string error;
        if (!read_obj(argv[i], mesh, error)) {
            std::fprintf(stderr, "kvdata previews: %s\n", error.c_str());
            ++failed;
            continue;
        }
        for (int v = 0; v < 3; ++v) draw_view(mesh, v * kCell, 0, kCell, kViews[v]);
        if (!save_frame(kCell * 3, kCell, std::string(argv[1]) + "/" + preview_name(argv[i]))) ++failed;
    }
    return failed ? 1 : 0;
}

// Contact sheet: every mesh in a grid, three-quarter view per cell, in argument order.
int run_contact_sheet(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kvdata contact-sheet OUT.png FILE.obj...\n");
        return 2;
    }
    const int n = argc - 2;
    const int cols = std::min(n, 10);
    const int rows = (n + cols - 1) / cols;
    const int cell = 160;
    Window win;
    if (!open_window(win, cols * cell, rows * cell)) return 1;
    glClearColor(0.3f, 0.3f, 0.3f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int failed = 0;
    for (int i = 0; i < n; ++i) {
        PreviewMesh mesh;
        std::string error;
        if (!read_obj(argv[2 + i], mesh, error)) {
            std::fprintf(stderr, "kvdata contact-sheet: %s\n", error.c_str());
            ++failed;
            continue;
        }
        const int col = i % cols, row = i / cols;
        draw_view(mesh, col * cell + 1, (rows - 1 - row) * cell + 1, cell - 2, kViews[0]);
    }
    if (!save_frame(cols * cell, rows * cell, argv[1])) return 1;
    return failed ? 1 : 0;
}

}  // namespace

KVDATA_COMMAND("preview", "FILE.obj OUT.png  render a mesh with its materials from three sides", run_preview);
KVDATA_COMMAND("previews", "OUTDIR FILE.obj...  write the preview of each mesh into OUTDIR", run_previews);
KVDATA_COMMAND("contact-sheet", "OUT.png FILE.obj...  render meshes side by side into one image", run_contact_sheet);
