// The files of Data/: the one list of what the demo reads, where the loaders,
// the generator (tools/make_data) and the build (which reads the quoted
// names below) take the names from.
//
// Paths are relative to the working directory: the demo runs where Data/ is.
#pragma once

#include <cstring>

// The music (the sound layer loads it; the capture renders it offline).
inline constexpr const char* kSongFile = "Data/damp.xm";
// The intro's picture (LoadIntro).
inline constexpr const char* kIntroPicture = "Data/vindelbild.bmp";
// The beat pictures, each with its mask (cMaskOverlay::LoadPairs).
inline constexpr const char* kOverlayPicture1 = "Data/mekk1.bmp";
inline constexpr const char* kOverlayMask1 = "Data/mekkmap1.bmp";
inline constexpr const char* kOverlayPicture2 = "Data/mekk2.bmp";
inline constexpr const char* kOverlayMask2 = "Data/mekkmap2.bmp";
// The model (LoadModelScene) and the texture its material names, which the
// model loader reads through that name.
inline constexpr const char* kModelFile = "Data/rongert2.3DS";
inline constexpr const char* kModelTexture = "Data/rongert.bmp";

inline constexpr const char* kDataFiles[] = {kSongFile,         kIntroPicture,     kOverlayPicture1,
                                              kOverlayMask1,     kOverlayPicture2,  kOverlayMask2,
                                              kModelFile,        kModelTexture};

// A data file's name inside Data/ ("damp.xm" for "Data/damp.xm").
inline const char* DataFileName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}
