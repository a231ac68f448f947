// kestrel-cli convert as a user runs it: the process, its exit status and its messages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "cli_test_support.h"
#include "files/files_test_support.h"

namespace merlinox {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct ConvertCommand : ::testing::Test {
    TempDir dir;
    std::string output;  // stdout and stderr of the last run

    int Convert(const std::string& arguments) {
        return testing::RunShell(std::string(KESTREL_BINARY_DIR) + "/src/kestrel-cli convert " + arguments,
                                 output);
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

    ASSERT_EQ(Convert(previous + " " + (dir / "out.hex") + " -f intel32 --hex-line-len 17"), 0);
    EXPECT_EQ(ReadFile(dir / "out.hex").substr(0, 26), ":020000040000FA\r\n:10000000");
    WriteFile(dir / "small.bin", "\x01\x02\x03");
    ASSERT_EQ(Convert((dir / "small.bin") + " " + (dir / "full.bin") +
                      " -f bin --ff-save --flash-bytes 0x100"),
              0);
    EXPECT_EQ(ReadFile(dir / "full.bin"), "\x01\x02\x03" + std::string(0xFD, '\xFF'));
    ASSERT_EQ(Convert((dir / "small.bin") + " " + (dir / "cut.bin") + " -f bin"), 0);
    EXPECT_EQ(ReadFile(dir / "cut.bin"), "\x01\x02\x03\xFF");
}

TEST_F(ConvertCommand, FailsWithTheMessageAndAnExitStatus) {
    WriteFile(dir / "e.eep", "0000:11\r\n0200:22\r\n");
    EXPECT_EQ(
        Convert((dir / "e.eep") + " " + (dir / "e.hex") + " -f 3 --eeprom --eeprom-bytes 0x200"),
        3);
    EXPECT_NE(output.find(
                  "Zuviele EEPROM-Daten für diesen Baustein !\n\nErlaubt: 0x200\nGelesen: 0x201\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(Convert((dir / "e.eep") + " " + (dir / "e.hex") + " -f 3 --eeprom"), 0);

    EXPECT_EQ(Convert((dir / "none.hex") + " " + (dir / "x.bin") + " -f bin"), 3);
    EXPECT_NE(output.find("Fehler beim Öffnen der Datei\n\n" + (dir / "none.hex") +
                          "\n\nDatei oder Verzeichnis existiert nicht"),
              std::string::npos)
        << output;
    WriteFile(dir / "in.bin", std::string(0x10001, '\x42'));
    EXPECT_EQ(Convert((dir / "in.bin") + " /dev/full -f s3"), 4);
    EXPECT_NE(output.find("Kein Platz mehr auf dem Gerät"), std::string::npos) << output;
    EXPECT_EQ(Convert((dir / "in.bin") + " " + (dir / "x.hex") + " -f intel8"), 4);
    EXPECT_NE(output.find("Das ausgewählte Datenformat unterstützt mur 64kB Daten."),
              std::string::npos);
    EXPECT_NE(Convert((dir / "in.bin") + " " + (dir / "x.hex") + " -f intel64"), 0);
    EXPECT_NE(Convert((dir / "in.bin") + " " + (dir / "x.hex") + " -f 4 --hex-line-len 300"), 0);
}

}  // namespace
}  // namespace merlinox
