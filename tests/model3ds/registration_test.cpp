// The 13 handlers register before main, in table order, once per process:
// a program's standard output begins with their lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(Registration, ProgramOutputBeginsWithTheThirteenLinesInTableOrder) {
    FILE* pipe = popen(VK_REGISTRATION_PROBE, "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0);

    std::string expected;
    for (const char* id : {"4d4d", "2", "3d3d", "3d3e", "4000", "4100", "4110", "4120", "afff", "a000", "4140",
                           "a300", "a200"})
        expected += std::string("Registering hander for chunk id: 0x") + id + "\n";
    // Last, the level's raster registry dies with its empty head image.
    expected += "main\nno-model-here.3DS does not exist\nnu d\xF6r jag\n";
    EXPECT_EQ(output, expected);
}
