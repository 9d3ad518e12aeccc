// WAV writer: 16-bit PCM written as it comes, sizes filled in on Close.
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

    // Creates the file for interleaved 16-bit samples; false when it cannot.
    bool Open(const std::string& path, int rate, int channels);
    // Appends frames (channels values each); false on a write error.
    bool Write(const int16_t* samples, int64_t frames);
    // Writes the sizes into the header and closes; false on any error since Open.
    bool Close();

private:
    FILE* file = nullptr;
    int channels = 0;
    int64_t dataBytes = 0;
    bool failed = false;
};
