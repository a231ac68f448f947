// kestrel-cli convert as a user runs it: the process, its exit status and its messages.
#include <gtest/gtest.h>

#include <string>

#include "cli_test_support.h"
#include "files/files_test_support.h"

namespace merlinox {
namespace {

using testing::ReadFile;
using testing::WriteFile;

struct ConvertCommand : ::testing::Test {
    testing::TempDir dir;
    std::string output;  // stdout and stderr of the last run

    int Convert(const std::string& arguments) {
        return testing::RunCli(dir.Dir().string(), "convert " + arguments, output);
    }
};

TEST_F(ConvertCommand, ConvertsThroughEveryFormatAndBack) {
    std::string image;
    for (int i = 0; i < 0x12000; ++i) image.push_back(static_cast<char>((i * 7) ^ (i >> 8)));
    WriteFile(dir / "in.bin", image);
    std::string previous = dir / "in.bin";
    for (const std::string format : {"intel32", "5", "s2", "S3", "rom", "4", "mcs86", "bin"}) {
        const std::string next = dir / ("step." + format);
        ASSERT_EQ(Convert(previous + " " + next + " --format " + format), 0) << format << output;
        EXPECT_EQ(output, "");
        previous = next;
    }
    EXPECT_EQ(ReadFile(previous), image);

    // An odd record length is taken as the even one below it.
    ASSERT_EQ(Convert(previous + " " + (dir / "out.hex") + " -f intel32 --hex-line-len 17"), 0);
    EXPECT_EQ(ReadFile(dir / "out.hex").substr(0, 26), ":020000040000FA\r\n:10000000");
    WriteFile(dir / "small.bin", "\x01\x02\x03");
    ASSERT_EQ(Convert((dir / "small.bin") + " " + (dir / "full.bin") +
                      " -f bin --ff-save --flash-bytes 0x100"),
              0);
    EXPECT_EQ(ReadFile(dir / "full.bin"), "\x01\x02\x03" + std::string(0xFD, '\xFF'));
}

TEST_F(ConvertCommand, FailsWithTheMessageAndAnExitStatus) {
    WriteFile(dir / "e.eep", "0000:11\r\n0200:22\r\n");
    const std::string eeprom = (dir / "e.eep") + " " + (dir / "e.hex") + " -f 3 --eeprom";
    EXPECT_EQ(Convert(eeprom + " --eeprom-bytes 0x200"), 3);
    EXPECT_NE(output.find("Erlaubt: 0x200\nGelesen: 0x201\n"), std::string::npos) << output;
    EXPECT_EQ(Convert(eeprom), 0);

    EXPECT_EQ(Convert((dir / "none.hex") + " " + (dir / "x.bin") + " -f bin"), 3);
    WriteFile(dir / "in.bin", std::string(0x10001, '\x42'));
    EXPECT_EQ(Convert((dir / "in.bin") + " " + (dir / "x.hex") + " -f intel8"), 4);
    EXPECT_NE(output.find("Das ausgewählte Datenformat unterstützt mur 64kB Daten."),
              std::string::npos);
    EXPECT_NE(Convert((dir / "in.bin") + " " + (dir / "x.hex") + " -f 4 --hex-line-len 255"), 0);
}

}  // namespace
}  // namespace merlinox
