// The generator writes the same bytes on every run: two fresh runs agree with
// each other and with the Data/ the build made.
#include "base/data_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> FilesIn(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

// Runs the generator into a new folder and returns the folder.
std::string Generate(const std::string& tag) {
    const std::string dir = ::testing::TempDir() + "make_data_" + tag;
    const std::string command = "rm -rf '" + dir + "' && mkdir -p '" + dir + "' && '" VK_MAKE_DATA "' '" + dir + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return dir;
}

}  // namespace

TEST(DataDeterminism, TwoRunsWriteIdenticalFiles) {
    const std::string a = Generate("a"), b = Generate("b");
    const std::set<std::string> names = FilesIn(a);
    EXPECT_EQ(names, FilesIn(b));
    EXPECT_EQ(names, FilesIn(VK_DATA_DIR)) << "the build's Data/ holds other files";
    EXPECT_GE(names.size(), 6u);
    std::set<std::string> listed;
    for (const char* path : kDataFiles) listed.insert(DataFileName(path));
    EXPECT_EQ(names, listed) << "the generator and the list of data files disagree";
    for (const std::string& n : names) {
        const std::string first = ReadAll(a + "/" + n);
        EXPECT_FALSE(first.empty()) << n;
        EXPECT_TRUE(first == ReadAll(b + "/" + n)) << n << " differs between runs";
        EXPECT_TRUE(first == ReadAll(std::string(VK_DATA_DIR) + "/" + n)) << n << " differs from the build's";
    }
    std::system(("rm -rf '" + a + "' '" + b + "'").c_str());
}
