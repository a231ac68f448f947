#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "files/files_test_support.h"
#include "files/hex_records.h"
#include "files/output_file.h"

namespace merlinox {
namespace {

using testing::FilesFixture;
using testing::ReadFile;
using testing::RecordingSource;
using testing::WriteFile;

struct Writers : FilesFixture {
    std::string out = dir / "out";

    int Save(DataFormat format, CellSource& source, MemoryKind kind, std::uint32_t cells) {
        ctx->settings.dataFormat = format;
        if (format == kFormatBinary) return SaveBin(*ctx, out, kind, cells, source);
        if (format == kFormatRom) return SaveROMHex(*ctx, out, kind, cells, source);
        return SaveHex(*ctx, out, kind, cells, source);
    }
    // The written lines, each without its CR LF.
    std::vector<std::string> OutLines() {
        const std::string text = ReadFile(out);
        std::vector<std::string> lines;
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    }
};

// A record of HexLineLen blank bytes is left out; one with a single byte that is not
// blank is written, and so is a short last record, blank or not.
TEST_F(Writers, RecordsOfHexLineLenLeaveOutOnlyFullBlankOnes) {
    std::vector<std::uint8_t> data(0x44, 0xFF);
    data[0x3F] = 0x00;
    OutputFile file;
    ASSERT_EQ(file.Open(out, false), 0);
    EXPECT_EQ(WriteIntelBlock(*ctx, file, data.data(), 0, 0x44), 0x44u);
    file.Close();
    EXPECT_EQ(OutLines(), (std::vector<std::string>{":20002000" + std::string(62, 'F') + "00DF",
                                                    ":04004000FFFFFFFFC0"}));
}

// The file is written beside its final name and renamed into place; a name that is a
// link stays a link, and the file it names gets the data.
TEST_F(Writers, AWrittenFileReplacesTheTargetOfALinkNotTheLink) {
    const std::string target = dir / "kept.hex";
    WriteFile(target, "old");
    std::filesystem::create_symlink(target, out);
    OutputFile file;
    ASSERT_EQ(file.Open(out, true), 0);
    const std::uint8_t bytes[] = {'n', 'e', 'w'};
    ASSERT_EQ(file.WriteBytes(bytes, 3), 3u);
    EXPECT_EQ(ReadFile(target), "old") << "nothing is replaced before Close";
    ASSERT_EQ(file.Close(), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(out));
    EXPECT_EQ(ReadFile(target), "new");
}

// Segment records, and the linear one below 64 KB, reach srec_cmp in the read-out tests.
TEST_F(Writers, Intel32PrecedesEachSixtyFourKilobyteBlockWithItsLinearAddress) {
    RecordingSource source(std::vector<std::uint8_t>(0x20000, 0), kFlash);
    ASSERT_EQ(Save(kFormatIntel32, source, kFlash, 0x10000), kSaveOk);
    const auto lines = OutLines();
    EXPECT_EQ(lines[0x801], ":020000040001F9");
    EXPECT_EQ(lines[0x802].substr(0, 9), ":20000000") << "each block starts at offset 0";
    EXPECT_EQ(lines.back(), ":00000001FF");
}

TEST_F(Writers, MotorolaFilesCarryHeaderIdentificationAndTheRecordTypeOfTheAddress) {
    RecordingSource source(std::vector<std::uint8_t>(0x20000, 0x5A), kFlash);
    ASSERT_EQ(Save(kFormatS3, source, kFlash, 0x2000), kSaveOk);
    auto lines = OutLines();
    EXPECT_EQ(lines[0], "S00E0000544F4C56414E4520372E3122");
    EXPECT_EQ(lines[1], "S30500000000FA");
    EXPECT_EQ(lines[2].substr(0, 8), "S1230000");
    EXPECT_EQ(lines.back(), "S70500000000FA");
    // The byte count must fit its two digits: at most 250 data bytes per record.
    ctx->settings.hexLineLen = 254;
    ASSERT_EQ(Save(kFormatS1, source, kEeprom, 0x400), kSaveOk);
    lines = OutLines();
    EXPECT_EQ(lines[1].substr(0, 8), "S1FD0000");
    EXPECT_EQ(lines.back(), "S9030000FC");
}

TEST_F(Writers, BinaryEndsAtTheLastCellThatIsNotBlankAndNeedsOne) {
    std::vector<std::uint8_t> image(0x1000, 0xFF);
    image[2 * 0x123] = 0x00;
    RecordingSource source(image, kFlash);
    ASSERT_EQ(Save(kFormatBinary, source, kFlash, 0x800), kSaveOk);
    EXPECT_EQ(ReadFile(out).size(), 0x248u);
    EXPECT_EQ(source.statuses, (std::vector<std::string>{"Suche Ende des Datenbereiches",
                                                         "Speichere Bausteindaten"}));

    // A memory whose only data is cell 0 is saved; one of blank cells only is left to
    // the caller (SaveBin writes nothing and says nothing).
    std::filesystem::remove(out);
    image.assign(0x1000, 0xFF);
    image[0] = 0x12;
    RecordingSource flash(image, kFlash), eeprom(image, kEeprom);
    EXPECT_EQ(Save(kFormatBinary, flash, kFlash, 0x800), kSaveOk);
    EXPECT_EQ(ReadFile(out), std::string("\x12\xFF", 2));
    EXPECT_EQ(Save(kFormatBinary, eeprom, kEeprom, 1), kSaveOk);
    EXPECT_EQ(ReadFile(out), "\x12");
    std::filesystem::remove(out);
    RecordingSource blank(std::vector<std::uint8_t>(0x1000, 0xFF), kEeprom);
    EXPECT_EQ(Save(kFormatBinary, blank, kEeprom, 0x1000), kSaveBlank);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_TRUE(ui.shown.empty());
}

// Output errors fail the save: a file that cannot be opened (binary output switches the
// chip off then), a full disk (the failed line, then the file error, and the chip is read
// no further) and buffered lines that fail only when the file is closed.
TEST_F(Writers, OutputErrorsFailTheSave) {
    RecordingSource source({}, kFlash);
    ctx->settings.ffSave = 1;
    out = dir / "missing/x.bin";
    EXPECT_EQ(Save(kFormatBinary, source, kFlash, 8), kSaveFailed);
    EXPECT_EQ(source.boardOffs, 1);
    EXPECT_EQ(ui.Last().text,
              "Fehler beim Öffnen der Datei\n\n" + out + "\n\nerrno " + std::to_string(ENOENT));

    ui.shown.clear();
    const std::string fileError =
        "Fehler beim Öffnen der Datei\n\n/dev/full\n\nerrno " + std::to_string(ENOSPC);
    out = "/dev/full";
    RecordingSource big(std::vector<std::uint8_t>(0x40000, 0x5A), kFlash);
    ASSERT_EQ(Save(kFormatIntel32, big, kFlash, 0x20000), kSaveFailed);
    EXPECT_LT(big.steps, 0x20000u);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_THAT(ui.Texts()[0], ::testing::MatchesRegex("Hex-Zeile [0-9]+\nkonnte nicht "
                                                       "geschrieben werden"));
    EXPECT_EQ(ui.Texts()[1], fileError);
    ui.shown.clear();
    RecordingSource small(std::vector<std::uint8_t>(64, 0x5A), kEeprom);
    EXPECT_EQ(Save(kFormatS2, small, kEeprom, 64), kSaveFailed);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{fileError});
}

}  // namespace
}  // namespace merlinox
