// Window and OpenGL start-up: opening the game window from OPENGLPROPERTIES, the fixed
// OpenGL state the whole game relies on, the window-size callback, light parameters and the
// physics start-up.
#pragma once

#include <cstdint>
#include <string>

// Opens the window "Kessra Vorn" as OPENGLPROPERTIES asks (16-bit 5-6-5 without alpha or
// 32-bit 8-8-8-8 colour, 24-bit depth, 8-bit stencil, window or full screen), sets the
// viewport, hides the cursor in full screen, registers the size callback (which runs once at
// once) and loads the bitmap font "vera". On failure nothing stays open, `why` names the
// cause and the result is false; the caller ends the process with status 1.
bool INITIALIZE_GLFW(std::string& why);

// The fixed OpenGL state: projection, shading, depth, light 0, material, culling, blending,
// fog parameters.
void INITIALIZE_OPENGL();

// The size callback: new size, projection and viewport, WINDOW_RESIZED := 1.
void INITIALIZE_WINDOWRESIZECALLBACK(int32_t WIDTH, int32_t HEIGHT);

// Sets the four-component parameter PNAME of light LIGHT (GL_LIGHT0 + n) to (R, G, B, 0).
void SET_LIGHTVARS(uint32_t LIGHT, uint32_t PNAME, float R, float G, float B);

void INITIALIZE_PHYSICS();
