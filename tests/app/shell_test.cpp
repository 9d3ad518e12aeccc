// The demo's command line and where it finds Data/.
#include "core/data_dir.h"
#include "app/options.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Parse(std::vector<const char*> args, cDemoOptions& options) {
    args.insert(args.begin(), "vindelkrok");
    return ParseDemoOptions(int(args.size()), args.data(), options);
}

TEST(DemoOptions, NoArgumentsChangeNothingAndUnknownOnesAreNamed) {
    cDemoOptions o;
    EXPECT_EQ(Parse({}, o), "");
    EXPECT_FALSE(o.help || o.version || o.windowed || o.silent);

    EXPECT_EQ(Parse({"--windowed", "--silent"}, o), "");
    EXPECT_TRUE(o.windowed && o.silent && !o.help && !o.version);
    cDemoOptions h;
    EXPECT_EQ(Parse({"--version", "--help"}, h), "");
    EXPECT_TRUE(h.help && h.version && !h.windowed && !h.silent);

    for (const char* wrong : {"--window", "-w", "silent", "--silent=1", ""}) {
        cDemoOptions w;
        const std::string error = Parse({"--silent", wrong}, w);
        EXPECT_NE(error.find("'" + std::string(wrong) + "'"), std::string::npos) << error;
    }
    EXPECT_NE(std::string(DemoUsage()).find("--silent"), std::string::npos);
    EXPECT_EQ(DemoVersion().rfind("vindelkrok ", 0), 0u);
}

// An installed tree: <prefix>/games/vindelkrok and
// <prefix>/share/games/vindelkrok/Data, and a working directory beside it.
class DataDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        umask(022);  // data only the user can change, whatever the caller's umask
        char pattern[] = "/tmp/vk-datadir-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root / "prefix/games");
        fs::create_directories(root / "prefix/share/games/vindelkrok/Data");
        fs::create_directories(root / "work");
    }
    void TearDown() override { fs::remove_all(root); }

    std::string Work() const { return (root / "work").string(); }
    std::string Program() const { return (root / "prefix/games/vindelkrok").string(); }
    fs::path root;
};

TEST_F(DataDirectory, WorkingDirectoryFirstThenTheInstalledOneBesideTheProgram) {
    const std::string installed = (root / "prefix/share/games/vindelkrok").string();
    std::ofstream(root / "prefix/share/games/vindelkrok/Data/damp.xm") << "module";
    EXPECT_EQ(FindDataDirectory(Work(), Program()).dir, installed);
    fs::create_directory(root / "work/Data");
    std::ofstream(root / "work/Data/damp.xm") << "module";
    EXPECT_EQ(FindDataDirectory(Work(), Program()).dir, Work());

    // Without Data/ in either place, or a file named Data: none found.
    fs::remove_all(root / "work/Data");
    fs::remove_all(root / "prefix/share/games/vindelkrok/Data");
    std::ofstream(root / "prefix/share/games/vindelkrok/Data") << "not a directory";
    EXPECT_EQ(FindDataDirectory(Work(), Program()).dir, "");
    EXPECT_EQ(FindDataDirectory(Work(), "").dir, "");
}

}  // namespace
