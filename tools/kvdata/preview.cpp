// kvdata preview, previews and contact-sheet: render meshes with their material colours into
// PNG files for modders and for review. A mesh is loaded with the game's own OBJ loader and
// drawn with its mesh renderer under fixed-function lighting in a hidden window, from three sides:
// a three-quarter view from the front left and above, a side view and a view from above.
// Run under a virtual X server when headless.
#include <GL/gl.h>
#include <GL/glu.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/modeldb.h"
#include "engine/objfile.h"
#include "engine/png_write.h"
#include "engine/screenshot.h"
#include "kvdata.h"

namespace {

// A mesh loaded through the game's own loader, with its framing box.
struct PreviewMesh {
    const MODEL3D* model = nullptr;
    float lo[3] = {0, 0, 0};
    float hi[3] = {0, 0, 0};
};

// Loads FILE the way the game does (OBJFILE_LOAD). Refuses a file that gives no triangles
// (missing, empty or with no face the loader accepts) with a message.
bool read_obj(const std::string& path, PreviewMesh& mesh, std::string& error) {
    if (!std::filesystem::is_regular_file(path)) {
        error = "cannot open " + path;
        return false;
    }
    const MODEL3D* model = modeldb_model(OBJFILE_LOAD(path));
    if (model == nullptr || model->MAX_TRIANGLES == 0) {
        error = path + ": no faces the game can read";
        return false;
    }
    mesh.model = model;
    MODEL_FINDEXTENTS(model, mesh.lo[0], mesh.lo[1], mesh.lo[2], mesh.hi[0], mesh.hi[1], mesh.hi[2]);
    return true;
}

struct View {
    float yaw, pitch;  // camera direction: yaw about Y (0 = from +Z), pitch above the horizon
};
const View kViews[3] = {{45.0f, 25.0f}, {0.0f, 0.0f}, {0.0f, 89.0f}};

// Draws the meshes into the viewport (x, y, size) from view v, framed by their common box.
void draw_views(const std::vector<PreviewMesh>& meshes, int x, int y, int size, const View& v) {
    glViewport(x, y, size, size);
    glScissor(x, y, size, size);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.71f, 0.68f, 0.63f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    for (const PreviewMesh& m : meshes)
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], m.lo[a]);
            hi[a] = std::max(hi[a], m.hi[a]);
        }
    float c[3], r = 0;
    for (int a = 0; a < 3; ++a) {
        c[a] = 0.5f * (lo[a] + hi[a]);
        r += (hi[a] - lo[a]) * (hi[a] - lo[a]);
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
    for (const PreviewMesh& m : meshes) RENDER_MODEL_COLOR(m.model);
    glDisable(GL_SCISSOR_TEST);
}

void draw_view(const PreviewMesh& mesh, int x, int y, int size, const View& v) {
    draw_views(std::vector<PreviewMesh>{mesh}, x, y, size, v);
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
    glFinish();
    const std::vector<uint8_t> rgb = screenshot_read_rgb(width, height);  // top row first
    std::string why = "nothing was drawn";
    if (rgb.empty() || !png_write_file(out, width, height, 3, rgb.data(), &why)) {
        std::fprintf(stderr, "kvdata preview: cannot write %s: %s\n", out.c_str(), why.c_str());
        return false;
    }
    return true;
}

constexpr int kCell = 320;

// One or more meshes drawn together (a building's facades and roof, say) into OUT.png.
int run_preview(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kvdata preview FILE.obj [FILE.obj...] OUT.png\n");
        return 2;
    }
    std::vector<PreviewMesh> meshes;
    for (int i = 1; i + 1 < argc; ++i) {
        PreviewMesh mesh;
        std::string error;
        if (!read_obj(argv[i], mesh, error)) {
            std::fprintf(stderr, "kvdata preview: %s\n", error.c_str());
            return 1;
        }
        meshes.push_back(mesh);
    }
    Window win;
    if (!open_window(win, kCell * 3, kCell)) return 1;
    for (int v = 0; v < 3; ++v) draw_views(meshes, v * kCell, 0, kCell, kViews[v]);
    return save_frame(kCell * 3, kCell, argv[argc - 1]) ? 0 : 1;
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

KVDATA_COMMAND("preview", "FILE.obj [FILE.obj...] OUT.png  render meshes with their materials from three sides", run_preview);
KVDATA_COMMAND("previews", "OUTDIR FILE.obj...  write the preview of each mesh into OUTDIR", run_previews);
KVDATA_COMMAND("contact-sheet", "OUT.png FILE.obj...  render meshes side by side into one image", run_contact_sheet);
