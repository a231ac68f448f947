#include <gtest/gtest.h>

#include <string>

#include "core/message_port.h"
#include "files/data_loader.h"
#include "files/files_test_support.h"

namespace merlinox {
namespace {

using testing::FilesFixture;
using testing::WriteFile;

const std::string kNoData = "Dateilänge ist NULL !\n\nDie Datei enthält keine Daten !";

// Every format written by the read-out is recognised in the read-out tests; these are
// the cases in between.
TEST_F(FilesFixture, RecognitionLooksAtTwoLinesAndFallsBackToBinary) {
    const std::vector<std::pair<std::string, DataFormat>> cases = {
        {":020000020000FC\r\n:10000000\r\n", kFormatIntelMcs86},
        {":020000020000FC\r\n:020000040001F9\r\n", kFormatIntel32},
        {":020000020000FC\r\n", kFormatBinary},  // a lone segment record
        {"01F0:3C\n", kFormatRom},
        {"01F0:3C", kFormatRom},  // a last line without its line end
        {"", kFormatBinary},
        {"\n\n:10000000\n", kFormatBinary},  // only two lines are examined
        {std::string(":1000") + '\0' + "0000\n", kFormatBinary},
        {"S1\x01\n", kFormatS1},  // the last two characters are left out of the binary test
        // Record files without data: their end record, after a header for S-records.
        {":00000001FF\n", kFormatIntel8},
        {"S0030000FC\r\nS804000000FB\r\n", kFormatS2},
    };
    for (const auto& [content, format] : cases) {
        WriteFile(dir / "f", content);
        EXPECT_EQ(DetectFileFormat(*ctx, dir / "f", kFlash), format) << content;
    }
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(FilesFixture, DirectoriesAreRefusedAsSuch) {
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(LoadFileForPass(*ctx, dir / "folder", kEeprom).result, kLoadFailed);
    EXPECT_EQ(LoadDetectedFile(*ctx, dir / "folder", kFormatS1, kFlash), kLoadFailed);
    const std::string error = dir / "folder" + "\n\nist ein Verzeichnis und keine Datendatei !";
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(2, error));
}

// An EEPROM companion without data, as avr-objcopy writes it for a program without
// EEPROM variables, is no EEPROM data: the pass is done without a message.
TEST_F(FilesFixture, EmptyFileHoldsNoDataAnEmptyCompanionIsNone) {
    EXPECT_EQ(Load("").result, kLoadFailed);
    EXPECT_EQ(Load(":00000001FF\r\n").result, kLoadFailed);
    EXPECT_EQ(Load("S00600004844521B\r\nS9030000FC").result, kLoadFailed);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(3, kNoData));
    for (const char* empty : {":00000001FF\r\n", "S0030000FC\r\nS9030000FC\r\n"}) {
        const PassLoad load = Load(empty, kEeprom);
        EXPECT_EQ(load.result, kLoadOk);
        EXPECT_EQ(load.format, kFormatNone);
    }
    EXPECT_EQ(ui.shown.size(), 3u);
}

// Printable lines that begin like records are never programmed as binary; a printable
// string without a line end, or text with a control byte, is binary data like any other.
TEST_F(FilesFixture, RecordLikeTextIsNeverTakenAsBinary) {
    EXPECT_EQ(Load(":0400000300000000F9\r\n:0400000500000000F7\r\n").result, kLoadFailed);
    EXPECT_EQ(Load("S4A\rS4B\r").result, kLoadFailed);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_NE(ui.Last().text.find("beginnt wie eine HEX-Zeile"), std::string::npos);
    EXPECT_EQ(Load(":10AB").result, kLoadOk);
    EXPECT_EQ(Load(":10AB\x01\n").result, kLoadOk);
    EXPECT_EQ(ui.shown.size(), 2u);
}

// The refusal's message, and a binary file longer than the image, are checked end to end.
TEST_F(FilesFixture, FileMayFillTheDeviceExactly) {
    ctx->device.flashWords = 0x1000;
    ctx->device.eepromBytes = 0x200;
    EXPECT_EQ(Load(std::string(0x2000, '\x5A')).result, kLoadOk);
    EXPECT_EQ(Load(std::string(0x2001, '\x5A')).result, kLoadFailed);
    EXPECT_EQ(Load(std::string(0x200, '\x01'), kEeprom).result, kLoadOk);
    EXPECT_EQ(Load(std::string(0x201, '\x01'), kEeprom).result, kLoadFailed);
}

}  // namespace
}  // namespace merlinox
