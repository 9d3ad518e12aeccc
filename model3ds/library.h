// cLibrary: a level's shared resources, the pictures loaded for textures
// (named by file name) and the materials (named by material name).
#pragma once

#include "base/keyed_list.h"
#include "image/image.h"
#include "model3ds/material.h"

#include <cstdint>

struct cLibrary {
    cKeyedList<cImage> rasters;
    cKeyedList<cMaterial> materials;

    // Appends a default material under the name; 1, or -1 when the name
    // could not be stored.
    int AddMaterial(const char* name);
    // Reads a BMP file into the rasters under its file name: 1 when loaded,
    // 0 when the name is already there, -1 when the file could not be read.
    int LoadRaster(const char* fileName);

    // Lookups: the element, or null when there is none.
    cImage* RasterById(uint16_t id);
    cImage* RasterByName(const char* name);
    cImage* LastRaster();
    cMaterial* MaterialById(uint16_t id);
    cMaterial* MaterialByName(const char* name);
    cMaterial* LastMaterial();
};
