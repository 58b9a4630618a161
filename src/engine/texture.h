// Texture loading: a PNG file becomes a mipmapped OpenGL 2D texture, in four variants that
// differ in internal format (RGB or RGBA) and filtering (trilinear or nearest).
#pragma once

#include <cstdint>
#include <string>

// Each variant generates a new texture name into TEX, binds it, enables 2D texturing and sets
// repeat wrapping and modulate mode, then decodes FILENAME and uploads it with all mipmap
// levels. Returns 1 on success, 0 when the image could not be decoded; TEX holds a bound
// texture name in both cases (without an image on failure); a refused image gets one console
// line naming the file and the reason.
int32_t LOAD_TEXTURE(uint32_t& TEX, const std::string& FILENAME);    // RGB, trilinear
int32_t LOAD_TEXTUREL(uint32_t& TEX, const std::string& FILENAME);   // RGB, nearest
int32_t LOAD_TEXTUREA(uint32_t& TEX, const std::string& FILENAME);   // RGBA, trilinear
int32_t LOAD_TEXTUREAL(uint32_t& TEX, const std::string& FILENAME);  // RGBA, nearest
