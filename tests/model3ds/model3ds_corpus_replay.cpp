// Replays every file of a fuzz corpus folder through the fuzz target, as a
// regular test of the normal build: what once crashed must stay fixed.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " corpus-folder" << std::endl;
        return 2;
    }
    LLVMFuzzerInitialize(&argc, &argv);
    // The loader's log for thousands of odd files is of no interest here.
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, 1);
    DIR* folder = opendir(argv[1]);
    if (!folder) {
        std::cerr << "cannot open " << argv[1] << std::endl;
        return 2;
    }
    int files = 0;
    while (const dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream file(std::string(argv[1]) + "/" + entry->d_name, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    closedir(folder);
    std::cerr << "replayed " << files << " files" << std::endl;
    // An empty folder means the corpus went missing: fail rather than pass.
    return files > 0 ? 0 : 1;
}
