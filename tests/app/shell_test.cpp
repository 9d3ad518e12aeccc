// The demo's command line and where it finds Data/.
#include "core/console.h"
#include "core/data_dir.h"
#include "app/options.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Standard output held from the start and then handed to a terminal is
// written line by line again, as glibc buffers a terminal: a line printed
// just before the process is killed reaches the terminal.
TEST(HeldStandardOutput, OnATerminalAgainGoesOutLineByLine) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const std::string side = ptsname(terminal);
    const pid_t child = fork();
    if (child == 0) {
        const int fd = open(side.c_str(), O_RDWR | O_NOCTTY);
        dup2(fd, STDOUT_FILENO);
        // The first write happens while held: stdio buffers in blocks then.
        std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
        HoldStandardOutput();
        std::printf("held line\n");
        ReleaseStandardOutput();
        std::printf("released line\n");
        _exit(0);  // as a kill would: stdio is not flushed
    }
    std::string seen;
    char buffer[256];
    pollfd p{terminal, POLLIN, 0};
    while (seen.find("released line") == std::string::npos && poll(&p, 1, 2000) == 1) {
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0) break;
        seen.append(buffer, size_t(n));
    }
    waitpid(child, nullptr, 0);
    close(terminal);
    EXPECT_NE(seen.find("held line"), std::string::npos) << seen;
    EXPECT_NE(seen.find("released line"), std::string::npos) << seen;
}

}  // namespace
