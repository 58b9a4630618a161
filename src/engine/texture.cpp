// Texture loading: names, parameters and upload of decoded PNG images with GLU-built mipmaps.
#include "engine/console_text.h"
#include "engine/texture.h"

#include "engine/log.h"
#include "engine/png.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

namespace {

int32_t load_texture_common(uint32_t& tex, const std::string& filename, GLint internal_format, bool nearest) {
    GLuint name = 0;
    glGenTextures(1, &name);
    tex = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glEnable(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (nearest) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    } else {
        // Magnification has no mipmaps, so trilinear textures magnify linearly. Setting the
        // mipmap value there would only be refused and leave an error flag set.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    uint32_t probe_w = 0, probe_h = 0;
    png_probe_size(filename, probe_w, probe_h);
    // A texture may be as large as the OpenGL implementation takes, and no larger.
    GLint gl_limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &gl_limit);
    const uint32_t limit = gl_limit > 0 ? static_cast<uint32_t>(gl_limit) : PNG_MAX_SIDE;
    PngImage img = png_load(filename, limit);
    if (!img) {
        // The name stays allocated and bound without an image; say which file was refused.
        if (img.reason == PNG_TOO_LARGE)
            kv_log("cannot load texture %s: %s (%u x %u)", console_safe(filename).c_str(), img.reason, limit, limit);
        else
            kv_log("cannot load texture %s: %s", console_safe(filename).c_str(), img.reason);
        return 0;
    }
    // The decoded size is authoritative: a file whose header is not where the probe looks
    // must not make the upload read past the pixels.
    gluBuild2DMipmaps(GL_TEXTURE_2D, internal_format, static_cast<GLsizei>(img.width), static_cast<GLsizei>(img.height),
                      GL_RGBA, GL_UNSIGNED_BYTE, img.pixels.get());
    return 1;
}

}  // namespace

int32_t LOAD_TEXTURE(uint32_t& TEX, const std::string& FILENAME) { return load_texture_common(TEX, FILENAME, GL_RGB, false); }
int32_t LOAD_TEXTUREL(uint32_t& TEX, const std::string& FILENAME) { return load_texture_common(TEX, FILENAME, GL_RGB, true); }
int32_t LOAD_TEXTUREA(uint32_t& TEX, const std::string& FILENAME) { return load_texture_common(TEX, FILENAME, GL_RGBA, false); }
int32_t LOAD_TEXTUREAL(uint32_t& TEX, const std::string& FILENAME) { return load_texture_common(TEX, FILENAME, GL_RGBA, true); }
