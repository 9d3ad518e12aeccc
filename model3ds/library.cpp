// cLibrary: materials by name, pictures by file name, and lookups into both.
#include "model3ds/library.h"

#include <iostream>

namespace {

// The element under id, or null when the list has none.
template <class T>
T* ElementById(cKeyedList<T>& list, uint16_t id) {
    return list.containsId(id) ? &list.findId(id)->element : nullptr;
}

// The element under name, or null when the list has none.
template <class T>
T* ElementByName(cKeyedList<T>& list, const char* name) {
    return name && list.containsName(name) ? &list.findName(name)->element : nullptr;
}

}  // namespace

// Loads a BMP file into the registry unless its name is already there.
int cLibrary::LoadRaster(const char* fileName) {
    cImage image;
    // A file name is loaded once; materials that share a texture name it again.
    if (rasters.containsName(fileName)) {
        std::cout << "Raster does already exist" << std::endl;
        return 0;
    }
    if (!image.load(fileName)) return -1;
    std::cout << "h\xE4r?" << std::endl;
    // The registry's node gets its own copy of the picture (the copy logs).
    rasters.append(image, fileName);
    return 1;
}

// Appends a default material under the name.
int cLibrary::AddMaterial(const char* name) { return materials.append(cMaterial(), name); }

// Lookups by id, by name, and the last entry.
cImage* cLibrary::RasterById(uint16_t id) { return ElementById(rasters, id); }
cImage* cLibrary::RasterByName(const char* name) { return ElementByName(rasters, name); }
cImage* cLibrary::LastRaster() { return &rasters.last()->element; }
cMaterial* cLibrary::MaterialById(uint16_t id) { return ElementById(materials, id); }
cMaterial* cLibrary::MaterialByName(const char* name) { return ElementByName(materials, name); }
cMaterial* cLibrary::LastMaterial() { return &materials.last()->element; }
