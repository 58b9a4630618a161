// Start-up and shutdown of the game: INITIALIZE (settings, window, OpenGL, fonts, physics)
// and DEINIT (model list, meshes, airdrops, window).
#pragma once

#include <string>

// False when the window cannot be opened; `why` is then the one line to print (it names a
// missing configVars.dat). Nothing is left open in that case.
bool INITIALIZE(std::string& why);
void DEINIT();
