// The model database (MODELDB, declared with the engine globals): lookup and registration of
// loaded meshes, the models.dat preload list written at shutdown, the mesh utilities (extents,
// normalisation, scaling, unloading) and the immediate-mode mesh renderers used to record
// display lists.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/model_types.h"

// Index of the entry whose stored (64-character) name equals FILENAME, or -1.
int32_t modeldb_find(const std::string& FILENAME);

// Appends an entry named by the first 64 characters of FILENAME owning a new zero-filled
// MODEL3D, keeping one spare zero-filled slot after the last entry; returns its index.
int32_t modeldb_append(const std::string& FILENAME);

// The mesh of entry INDEX, or null when INDEX is not a loaded entry.
MODEL3D* modeldb_model(int32_t INDEX);

// Rewrites the preload list (models.dat in the working directory unless PATH is given): the
// names of all entries, read back and sorted by length, shortest first, one per CR LF line.
void DEINIT_MODELLIST(const std::string& PATH = "models.dat");

// Releases a mesh: counts to zero, arrays freed, the record freed and MODEL set to null.
void UNLOADMESH(std::unique_ptr<MODEL3D>& MODEL);

// Per-axis minima and maxima of the vertices; an empty (or null) mesh gives minima 9999 and
// maxima -9999.
void MODEL_FINDEXTENTS(const MODEL3D* MODEL, float& MINX, float& MINY, float& MINZ, float& MAXX, float& MAXY,
                       float& MAXZ);

// Divides every vertex by the largest vertex distance from the origin, so the mesh ends inside
// the unit sphere around its own origin. A mesh whose vertices all sit at the origin is left
// as it is.
void MODEL_NORMALIZE(MODEL3D* MODEL);

// Multiplies every vertex coordinate by FACTOR.
void MODEL_SCALE(MODEL3D* MODEL, float FACTOR);

// Draw all triangles in one GL_TRIANGLES batch: per corner the vertex normal, then the
// position; PLAIN sends no colour, COLOR the material's R, G, B, COLOR_ALPHA those with ALPHA.
// No texture is bound and no texture coordinates are sent. A triangle whose indices do not
// resolve is not drawn; a material index outside the materials draws as a zero-filled
// (black) material.
void RENDER_MODEL_PLAIN(const MODEL3D* MODEL);
void RENDER_MODEL_COLOR(const MODEL3D* MODEL);
void RENDER_MODEL_COLOR_ALPHA(const MODEL3D* MODEL, float ALPHA);

// Compiles model MID with its material colours (RENDER_MODEL_COLOR) into a new display list
// and returns the list; an index with no model gives an empty list. 0 when no list can be had
// (no OpenGL context).
int32_t modeldb_compile_list(int32_t MID);
