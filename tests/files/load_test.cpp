#include <gtest/gtest.h>

#include <string>

#include "app/messages.h"
#include "files/data_loader.h"
#include "files_test_support.h"

namespace merlinox {
namespace {

using testing::FilesFixture;
using testing::WriteFile;

constexpr const char* kNoData = "Dateilänge ist NULL !\n\nDie Datei enthält keine Daten !";

struct Recognition : FilesFixture {
    DataFormat Detect(const std::string& content, MemoryKind kind = kFlash) {
        WriteFile(dir / "f", content);
        return DetectFileFormat(*ctx, dir / "f", kind);
    }
};

TEST_F(Recognition, TellsEachFormatFromItsFirstTwoLines) {
    EXPECT_EQ(Detect(":10000000FFFF\r\n"), kFormatIntel8);
    EXPECT_EQ(Detect(":020000040000FA\r\n"), kFormatIntel32);
    EXPECT_EQ(Detect(":020000020000FC\r\n:10000000\r\n"), kFormatIntelMcs86);
    EXPECT_EQ(Detect(":020000020000FC\r\n:020000040001F9\r\n"), kFormatIntel32);
    EXPECT_EQ(Detect("S00600004844521B\r\nS1130000\r\n"), kFormatS1);
    EXPECT_EQ(Detect("S00E0000544F4C56414E4520372E3122\r\nS204000000FB\r\n"), kFormatS2);
    EXPECT_EQ(Detect("S30500000000FA\n"), kFormatS3);
    EXPECT_EQ(Detect("00001A:940C\r\n"), kFormatRom);
    EXPECT_EQ(Detect("01F0:3C\n"), kFormatRom);
    EXPECT_EQ(ctx->settings.dataFormat, kFormatRom) << "the result is stored in the setting";
}

TEST_F(Recognition, TakesEverythingElseForBinary) {
    EXPECT_EQ(Detect(""), kFormatBinary);
    EXPECT_EQ(Detect("\n\n:10000000\n"), kFormatBinary) << "only two lines are examined";
    EXPECT_EQ(Detect(":00000001FF\r\n"), kFormatBinary) << "an end record alone";
    EXPECT_EQ(Detect(":020000020000FC\r\n"), kFormatBinary) << "a lone segment record";
    EXPECT_EQ(Detect(std::string(":1000\0" "0000\n", 11)), kFormatBinary) << "a NUL byte";
    EXPECT_EQ(Detect("s1130000\r\n"), kFormatBinary) << "lower-case record type";
    EXPECT_EQ(Detect("S11300\xE4" "00\r\n"), kFormatBinary);
    // The last two characters are left out of the binary test.
    EXPECT_EQ(Detect("S1\x01\n"), kFormatS1);
    EXPECT_EQ(Detect("01F0:3C"), kFormatBinary) << "without its line end a ROM line is 7 long";
}

TEST_F(Recognition, MissingFlashFileIsReportedAndMissingCompanionIsNot) {
    ctx->settings.dataFormat = kFormatS3;
    EXPECT_EQ(DetectFileFormat(*ctx, dir / "none", kEeprom), kFormatNone);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(ctx->settings.dataFormat, kFormatNone);
    EXPECT_EQ(DetectFileFormat(*ctx, dir / "none", kFlash), kFormatNone);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.Last().text, "Fehler beim Öffnen der Datei\n\n" + (dir / "none") +
                                  "\n\nDatei oder Verzeichnis existiert nicht");
}

TEST_F(FilesFixture, MissingCompanionEndsThePassWithoutData) {
    const PassLoad load = LoadFileForPass(*ctx, dir / "absent.eep", kEeprom);
    EXPECT_EQ(load.result, kLoadOk);
    EXPECT_EQ(load.format, kFormatNone);
    EXPECT_EQ(LoadFileForPass(*ctx, dir / "absent.hex", kFlash).result, kLoadFailed);
}

TEST_F(FilesFixture, InputThatVanishedAfterRecognitionIsReported) {
    WriteFile(dir / "gone.hex", ":020000000102FB\r\n");
    const DataFormat format = DetectFileFormat(*ctx, dir / "gone.hex", kFlash);
    ASSERT_EQ(format, kFormatIntel8);
    std::filesystem::remove(dir / "gone.hex");
    EXPECT_EQ(LoadDetectedFile(*ctx, dir / "gone.hex", format, kFlash), kLoadFailed);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Fehler beim Öffnen der Datei\n\n" + (dir / "gone.hex") +
                                                    "\n\nDatei oder Verzeichnis existiert nicht"}));
    EXPECT_FALSE(ctx->files.inputFile.IsOpen());
}

TEST_F(FilesFixture, ReadErrorOfABinaryFileIsReportedNotTakenForEmpty) {
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(LoadDetectedFile(*ctx, dir / "folder", kFormatBinary, kFlash), kLoadFailed);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.Last().kind, BoxKind::Plain);
    EXPECT_EQ(ui.Last().text, "Fehler beim Öffnen der Datei\n\n" + (dir / "folder") + "\n\n" +
                                  std::string(ErrorText(EISDIR)));
}

TEST_F(FilesFixture, EmptyFileAndDataOnlyAtAddressZeroHoldNoData) {
    EXPECT_EQ(Load("").result, kLoadFailed);
    EXPECT_EQ(Load("\x12").result, kLoadFailed);
    EXPECT_EQ(Load("0000:3C\r\n", kEeprom).result, kLoadFailed);
    EXPECT_EQ(Load(":0100000012ED\r\n:00000001FF\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(4, kNoData));
    EXPECT_EQ(Load("\x12\x34").result, kLoadOk);
    EXPECT_EQ(ctx->image.highestAddress, 1u);
}

TEST_F(FilesFixture, EveryLoadStartsFromABlankImage) {
    ASSERT_EQ(Load(std::string(100, '\0')).result, kLoadOk);
    ASSERT_EQ(Load("AB").result, kLoadOk);
    EXPECT_EQ(Bytes()[1], 'B');
    EXPECT_EQ(Bytes()[2], 0xFF);
}

TEST_F(FilesFixture, BinaryFlashFileMayFillTheDeviceExactly) {
    ctx->device.flashWords = 0x1000;
    EXPECT_EQ(Load(std::string(0x2000, '\x5A')).result, kLoadOk);
    EXPECT_EQ(Load(std::string(0x2001, '\x5A')).result, kLoadFailed);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              "Zuviele Programmdaten für diesen Baustein !\n\nErlaubt: 0x1000\nGelesen: 0x1000"}));
}

TEST_F(FilesFixture, BinaryEepromFileMayFillTheDeviceExactly) {
    ctx->device.eepromBytes = 0x200;
    EXPECT_EQ(Load(std::string(0x200, '\x01'), kEeprom).result, kLoadOk);
    EXPECT_EQ(Load(std::string(0x201, '\x01'), kEeprom).result, kLoadFailed);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              "Zuviele EEPROM-Daten für diesen Baustein !\n\nErlaubt: 0x200\nGelesen: 0x201\n"}));
}

TEST_F(FilesFixture, BinaryFileBeyondTheImageIsReadUpToIt) {
    std::string content(MemoryImage::kSize + 100, '\x33');
    EXPECT_EQ(Load(content).result, kLoadOk);
    EXPECT_EQ(ctx->image.highestAddress, MemoryImage::kSize - 1);
}

TEST_F(FilesFixture, CompanionInAnotherFormatIsReadWithItsOwnReader) {
    WriteFile(dir / "a.hex", ":04000000010203FFF7\r\n:00000001FF\r\n");
    WriteFile(dir / "a.eep", "0000:11\r\n0003:44\r\n");
    EXPECT_EQ(LoadFileForPass(*ctx, dir / "a.hex", kFlash).format, kFormatIntel8);
    CloseInputFile(*ctx);
    const PassLoad eeprom = LoadFileForPass(*ctx, dir / "a.eep", kEeprom);
    EXPECT_EQ(eeprom.result, kLoadOk);
    EXPECT_EQ(eeprom.format, kFormatRom);
    EXPECT_TRUE(ctx->files.inputFile.IsOpen()) << "open until the pass has ended";
    CloseInputFile(*ctx);
    EXPECT_EQ(Bytes()[3], 0x44);
}

TEST_F(FilesFixture, StatusLineShowsTheLoad) {
    std::vector<std::string> statuses;
    ctx->files.showStatus = [&statuses](std::string_view text) { statuses.emplace_back(text); };
    Load("ab");
    EXPECT_EQ(statuses, std::vector<std::string>{"Lese Daten"});
}

}  // namespace
}  // namespace merlinox
