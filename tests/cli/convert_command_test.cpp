// kestrel-cli convert as a user runs it: the process, its exit status and its messages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "files/files_test_support.h"

namespace merlinox {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct Outcome {
    int status;
    std::string output;
};

Outcome Convert(const std::string& arguments) {
    const std::string command =
        std::string(KESTREL_BINARY_DIR) + "/src/kestrel-cli convert " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    Outcome outcome{-1, ""};
    if (pipe == nullptr) return outcome;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        outcome.output.append(buffer, got);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

struct ConvertCommand : ::testing::Test {
    TempDir dir;
    std::string image;

    ConvertCommand() {
        for (int i = 0; i < 0x12000; ++i) image.push_back(static_cast<char>((i * 7) ^ (i >> 8)));
        WriteFile(dir / "in.bin", image);
    }
};

TEST_F(ConvertCommand, ConvertsThroughEveryFormatAndBack) {
    std::string previous = dir / "in.bin";
    for (const std::string format : {"intel32", "5", "s2", "S3", "rom", "4", "mcs86", "bin"}) {
        const std::string next = dir / ("step." + format);
        const Outcome outcome = Convert(previous + " " + next + " --format " + format);
        ASSERT_EQ(outcome.status, 0) << format << ": " << outcome.output;
        EXPECT_EQ(outcome.output, "");
        previous = next;
    }
    EXPECT_EQ(ReadFile(previous), image);
}

TEST_F(ConvertCommand, HonoursLineLengthAndBlankCells) {
    ASSERT_EQ(Convert((dir / "in.bin") + " " + (dir / "out.hex") + " -f intel32 --hex-line-len 17")
                  .status,
              0);
    EXPECT_EQ(ReadFile(dir / "out.hex").substr(0, 26), ":020000040000FA\r\n:10000000");
    WriteFile(dir / "small.bin", "\x01\x02\x03");
    ASSERT_EQ(Convert((dir / "small.bin") + " " + (dir / "full.bin") +
                      " -f bin --ff-save --flash-bytes 0x100")
                  .status,
              0);
    EXPECT_EQ(ReadFile(dir / "full.bin"), std::string("\x01\x02\x03") + std::string(0xFD, '\xFF'));
    ASSERT_EQ(Convert((dir / "small.bin") + " " + (dir / "cut.bin") + " -f bin --flash-bytes 0x100")
                  .status,
              0);
    EXPECT_EQ(ReadFile(dir / "cut.bin"), std::string("\x01\x02\x03\xFF"));
}

TEST_F(ConvertCommand, EepromFilesAreCheckedAgainstTheEepromSize) {
    WriteFile(dir / "e.eep", "0000:11\r\n0200:22\r\n");
    const Outcome refused =
        Convert((dir / "e.eep") + " " + (dir / "e.hex") + " -f 3 --eeprom --eeprom-bytes 0x200");
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.output.find(
                  "Zuviele EEPROM-Daten für diesen Baustein !\n\nErlaubt: 0x200\nGelesen: 0x201\n"),
              std::string::npos)
        << refused.output;
    ASSERT_EQ(Convert((dir / "e.eep") + " " + (dir / "e.hex") + " -f 3 --eeprom").status, 0);
    EXPECT_EQ(ReadFile(dir / "e.hex").substr(0, 13), ":2000000011FF");
}

TEST_F(ConvertCommand, FailsWithTheMessageAndAnExitStatus) {
    const Outcome missing = Convert((dir / "none.hex") + " " + (dir / "x.bin") + " -f bin");
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.output.find("Fehler beim Öffnen der Datei\n\n" + (dir / "none.hex") +
                                  "\n\nDatei oder Verzeichnis existiert nicht"),
              std::string::npos)
        << missing.output;

    const Outcome full = Convert((dir / "in.bin") + " /dev/full -f s3");
    EXPECT_EQ(full.status, 4);
    EXPECT_NE(full.output.find("Kein Platz mehr auf dem Gerät"), std::string::npos) << full.output;

    const Outcome wide = Convert((dir / "in.bin") + " " + (dir / "x.hex") + " -f intel8");
    EXPECT_EQ(wide.status, 4);
    EXPECT_NE(wide.output.find("Das ausgewählte Datenformat unterstützt mur 64kB Daten."),
              std::string::npos);

    EXPECT_NE(Convert((dir / "in.bin") + " " + (dir / "x.hex") + " -f intel64").status, 0);
    EXPECT_NE(Convert((dir / "in.bin") + " " + (dir / "x.hex") + " -f 4 --hex-line-len 300").status,
              0);
}

}  // namespace
}  // namespace merlinox
