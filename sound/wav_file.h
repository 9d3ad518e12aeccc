// WAV writer: 16-bit PCM written as it comes, sizes filled in on Close. The
// file is written under a part name and appears under its own name only
// when Close has made it whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class cWavFile {
public:
    cWavFile() = default;
    ~cWavFile();
    cWavFile(const cWavFile&) = delete;
    cWavFile& operator=(const cWavFile&) = delete;

    // Starts the file for interleaved 16-bit samples; false when it cannot.
    bool Open(const std::string& path, int rate, int channels);
    // Appends frames (channels values each); false on a write error.
    bool Write(const int16_t* samples, int64_t frames);
    // Writes the sizes into the header, closes and puts the file under its
    // name; false on any error since Open (and then no file is left).
    bool Close();

private:
    FILE* file = nullptr;
    std::string path;
    int channels = 0;
    int64_t dataBytes = 0;
    bool failed = false;
};
