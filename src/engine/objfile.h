// Wavefront OBJ meshes with MTL material libraries: the loader of the small subset the game's
// data use. Coordinates are converted from the files' Z-up system to the game's Y-up system,
// and each loaded file is registered in the model database under the name it was asked for.
//
// Both files are read field by field with the text-field reader (a field ends at a comma or a
// line end) and each field is split at every single space exactly as STR_EXPLODE(" ", field)
// would split it: consecutive spaces give empty tokens and a trailing space adds an empty last
// token. Token 0 is the keyword; numbers use the lenient number rule (not a number reads 0).
//
// Outside the subset the loader stays inside its arrays: a face corner that does not resolve
// (missing v, vt or vn index, an index of 0, negative or beyond the counted vertices, texture
// coordinates or normals) makes the triangles using it skipped, and one console line per file
// gives their number. Missing tokens read as empty text.
#pragma once

#include <cstdint>
#include <string>

#include "engine/model_types.h"
#include "engine/textfile.h"

// Index of the mesh FILENAME in the model database; the file is read only when no entry has
// that exact name. A missing file gives an empty mesh that is still registered.
int32_t OBJFILE_LOAD(const std::string& FILENAME);

// Loads the MTL file FILENAME as the materials of model MODELINDEX (replacing any it had).
void OBJFILE_LOADMATERIALLIBRARY(int32_t MODELINDEX, const std::string& FILENAME);

// PATH up to and including its last "/", or "" when it has none.
std::string OBJFILE_GETDIRECTORY(const std::string& PATH);

// The texture loader used for map_Kd lines: LOAD_TEXTURE by default. Tools without an OpenGL
// context install null, which keeps HASTEX but leaves TEXTURE 0.
using ObjTextureLoader = int32_t (*)(uint32_t& TEX, const std::string& FILENAME);
void objfile_set_texture_loader(ObjTextureLoader loader);

// The two passes over OBJ text already in READER, filling MODEL (which should be zero-filled);
// mtllib lines load their libraries from DIRECTORY + name. Returns the number of triangles
// skipped because a corner did not resolve.
uint32_t objfile_read(MODEL3D& MODEL, FieldReader& READER, const std::string& DIRECTORY);

// MTL text in READER becomes the materials of MODEL; map_Kd names are relative to DIRECTORY.
void objfile_read_materials(MODEL3D& MODEL, FieldReader& READER, const std::string& DIRECTORY);
