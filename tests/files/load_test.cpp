#include <gtest/gtest.h>

#include <string>

#include "app/messages.h"
#include "files/data_loader.h"
#include "files_test_support.h"

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
        {"01F0:3C", kFormatBinary},  // without its line end a ROM line is 7 long
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

// A read error, binary or text, is no empty file, and a companion that cannot be read
// is no missing one: both are reported with the file error.
TEST_F(FilesFixture, ReadErrorsAreReportedWithTheFileError) {
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(LoadFileForPass(*ctx, dir / "folder", kEeprom).result, kLoadFailed);
    EXPECT_EQ(LoadDetectedFile(*ctx, dir / "folder", kFormatS1, kFlash), kLoadFailed);
    const std::string error = "Fehler beim Öffnen der Datei\n\n" + (dir / "folder") + "\n\n" +
                              std::string(ErrorText(EISDIR));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(2, error));
    EXPECT_EQ(ui.Last().kind, BoxKind::Plain);
}

TEST_F(FilesFixture, EmptyFileAndDataOnlyAtAddressZeroHoldNoDataAnEmptyCompanionIsNone) {
    EXPECT_EQ(Load("").result, kLoadFailed);
    EXPECT_EQ(Load("\x12").result, kLoadFailed);
    EXPECT_EQ(Load("0000:3C\r\n", kEeprom).result, kLoadFailed);
    EXPECT_EQ(Load(":0100000012ED\r\n:00000001FF\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(4, kNoData));
    // A record file that ends without its end record and without data fails silently.
    EXPECT_EQ(Load("S00600004844521B\r\nS10400001AE1\r\n").result, kLoadFailed);
    EXPECT_EQ(Load(":0100000012ED\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.shown.size(), 4u);
    // An EEPROM companion without data, as avr-objcopy writes it for a program without
    // EEPROM variables, is no EEPROM data: the pass is done without a message.
    for (const char* empty : {":00000001FF\r\n", "S0030000FC\r\nS9030000FC\r\n"}) {
        const PassLoad load = Load(empty, kEeprom);
        EXPECT_EQ(load.result, kLoadOk);
        EXPECT_EQ(load.format, kFormatNone);
    }
    EXPECT_EQ(ui.shown.size(), 4u);
}

TEST_F(FilesFixture, FileMayFillTheDeviceExactly) {
    ctx->device.flashWords = 0x1000;
    ctx->device.eepromBytes = 0x200;
    EXPECT_EQ(Load(std::string(0x2000, '\x5A')).result, kLoadOk);
    EXPECT_EQ(Load(std::string(0x2001, '\x5A')).result, kLoadFailed);
    EXPECT_EQ(Load(std::string(0x200, '\x01'), kEeprom).result, kLoadOk);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Zuviele Programmdaten für diesen Baustein !"
                                                   "\n\nErlaubt: 0x1000\nGelesen: 0x1000"});
    // A binary file longer than the image is read up to it.
    ctx->device.flashWords = 0x20000;
    EXPECT_EQ(Load(std::string(MemoryImage::kSize + 100, '\x33')).result, kLoadOk);
    EXPECT_EQ(ctx->image.highestAddress, MemoryImage::kSize - 1);
}

}  // namespace
}  // namespace merlinox
