#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/hex_records.h"
#include "files/output_file.h"
#include "files_test_support.h"

namespace merlinox {
namespace {

using testing::FilesFixture;
using testing::ReadFile;
using testing::RecordingSource;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::uint8_t> RandomImage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

struct Writers : FilesFixture {
    std::string out = dir / "out";

    int Save(DataFormat format, CellSource& source, MemoryKind kind, std::uint32_t cells) {
        ctx->settings.dataFormat = format;
        if (format == kFormatBinary) return SaveBin(*ctx, out, kind, cells, source);
        if (format == kFormatRom) return SaveROMHex(*ctx, out, kind, cells, source);
        return SaveHex(*ctx, out, kind, cells, source);
    }
    std::vector<std::string> OutLines() { return SplitLines(ReadFile(out)); }
};

TEST_F(Writers, IntelBlockSplitsIntoRecordsOfHexLineLen) {
    std::vector<std::uint8_t> data(100);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    OutputFile file;
    ASSERT_EQ(file.Open(out, false), 0);
    EXPECT_EQ(WriteIntelBlock(*ctx, file, data.data(), 0, 100), 100u);
    file.Close();
    const auto lines = OutLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].substr(0, 9), ":20000000");
    EXPECT_EQ(lines[1].substr(0, 9), ":20002000");
    EXPECT_EQ(lines[2].substr(0, 9), ":20004000");
    EXPECT_EQ(lines[3], ":040060006061626316");
}

TEST_F(Writers, FullBlankRecordIsLeftOutButAShortLastOneIsWritten) {
    std::vector<std::uint8_t> data(36, 0xFF);
    data[0] = 0;
    OutputFile file;
    ASSERT_EQ(file.Open(out, false), 0);
    // 31 of 32 blank bytes is still written; 32 of 32 is not; the last 4 always are.
    EXPECT_EQ(WriteIntelBlock(*ctx, file, data.data(), 0, 36), 36u);
    EXPECT_EQ(WriteIntelBlock(*ctx, file, data.data() + 4, 0x100, 32), 32u);
    EXPECT_EQ(WriteMotorolaBlock(*ctx, file, data.data() + 4, 0x200, 32), 32u);
    file.Close();
    const auto lines = OutLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 11), ":2000000000");
    EXPECT_EQ(lines[1], ":04002000FFFFFFFFE0");
}

TEST_F(Writers, AddressRecordsPrecedeTheirBlocks) {
    ctx->settings.ffSave = 1;
    RecordingSource source(std::vector<std::uint8_t>(0x20000, 0), kFlash);
    ASSERT_EQ(Save(kFormatIntelMcs86, source, kFlash, 0x200), kSaveOk);
    const auto mcs = OutLines();
    EXPECT_EQ(mcs[0], ":020000020000FC");
    EXPECT_EQ(mcs[9], ":020000020010EC");
    EXPECT_EQ(mcs[18], ":020000020020DC");
    EXPECT_EQ(mcs[19].substr(0, 9), ":20000000") << "blocks start at offset 0 after their segment";
    EXPECT_EQ(mcs.back(), ":00000001FF");

    ASSERT_EQ(Save(kFormatIntel32, source, kFlash, 0x10000), kSaveOk);
    const auto linear = OutLines();
    EXPECT_EQ(linear[0], ":020000040000FA");
    EXPECT_EQ(linear[0x801], ":020000040001F9");
    EXPECT_EQ(linear[0x802].substr(0, 9), ":20000000");
    EXPECT_EQ(source.steps, 0x200u + 0x10000u);
}

TEST_F(Writers, BlankChipGivesOnlyTheFramingRecords) {
    RecordingSource source(std::vector<std::uint8_t>(), kFlash);
    ASSERT_EQ(Save(kFormatIntel8, source, kFlash, 0x8000), kSaveOk);
    EXPECT_EQ(OutLines(), std::vector<std::string>{":00000001FF"});
    ASSERT_EQ(Save(kFormatIntel32, source, kFlash, 0x10000), kSaveOk);
    EXPECT_EQ(OutLines(), (std::vector<std::string>{":020000040000FA", ":020000040001F9", ":00000001FF"}));
    EXPECT_EQ(DetectFileFormat(*ctx, out, kFlash), kFormatIntel32);
}

TEST_F(Writers, SixteenKilobyteFlashAsS3HasHeaderIdentificationAndS1Records) {
    RecordingSource source(RandomImage(0x4000, 1), kFlash);
    ASSERT_EQ(Save(kFormatS3, source, kFlash, 0x2000), kSaveOk);
    const auto lines = OutLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "S00E0000544F4C56414E4520372E3122");
    EXPECT_EQ(lines[1], "S30500000000FA");
    for (std::size_t i = 2; i + 1 < lines.size(); ++i) ASSERT_EQ(lines[i].substr(0, 2), "S1") << i;
    EXPECT_EQ(lines.back(), "S70500000000FA");
    EXPECT_EQ(DetectFileFormat(*ctx, out, kFlash), kFormatS3);
}

TEST_F(Writers, RecordTypeFollowsTheAddressWhateverTheFormat) {
    RecordingSource source(RandomImage(0x20000, 2), kFlash);
    ASSERT_EQ(Save(kFormatS2, source, kFlash, 0x10000), kSaveOk);
    const auto lines = OutLines();
    EXPECT_EQ(lines[1], "S204000000FB");
    EXPECT_EQ(lines[1 + 0x800].substr(0, 8), "S123FFE0");
    EXPECT_EQ(lines[2 + 0x800].substr(0, 10), "S224010000");
    EXPECT_EQ(lines.back(), "S804000000FB");
}

TEST_F(Writers, LongRecordsKeepTheMotorolaByteCountInOneByte) {
    ctx->settings.hexLineLen = 254;
    RecordingSource source(RandomImage(0x400, 3), kEeprom);
    ASSERT_EQ(Save(kFormatS1, source, kEeprom, 0x400), kSaveOk);
    const auto lines = OutLines();
    EXPECT_EQ(lines[1].substr(0, 8), "S1FD0000");
    EXPECT_EQ(lines[2].substr(0, 8), "S1FD00FA");
    EXPECT_EQ(lines[1].size(), 4 + 2u * 0xFD);
    EXPECT_EQ(lines.back(), "S9030000FC");
}

TEST_F(Writers, EverySavedFormatLoadsBackToTheSameCells) {
    auto image = RandomImage(0x6000, 4);
    std::fill(image.begin() + 0x100, image.begin() + 0x1000, 0xFF);  // a hole
    for (const int ffSave : {0, 1}) {
        for (int format = kFormatBinary; format <= kFormatS3; ++format) {
            for (const MemoryKind kind : {kFlash, kEeprom}) {
                SCOPED_TRACE(::testing::Message() << "format " << format << " kind " << kind << " ffSave " << ffSave);
                ctx->settings.ffSave = static_cast<std::uint32_t>(ffSave);
                ctx->settings.hexLineLen = 16 + 2 * static_cast<std::uint32_t>(format);
                ctx->device.eepromBytes = 0x6000;
                RecordingSource source(image, kind);
                const std::uint32_t cells = kind == kFlash ? 0x3000 : 0x6000;
                ASSERT_EQ(Save(static_cast<DataFormat>(format), source, kind, cells), kSaveOk);
                const PassLoad load = LoadFileForPass(*ctx, out, kind);
                CloseInputFile(*ctx);
                ASSERT_EQ(load.result, kLoadOk) << ::testing::PrintToString(ui.Texts());
                EXPECT_EQ(load.format, format);
                ASSERT_TRUE(std::equal(image.begin(), image.end(), Bytes()));
            }
        }
    }
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Writers, BinaryEndsAtTheLastCellThatIsNotBlank) {
    std::vector<std::uint8_t> image(0x1000, 0xFF);
    image[2 * 0x123] = 0x00;
    RecordingSource source(image, kFlash);
    ASSERT_EQ(Save(kFormatBinary, source, kFlash, 0x800), kSaveOk);
    EXPECT_EQ(ReadFile(out).size(), 0x248u);
    EXPECT_EQ(source.statuses, (std::vector<std::string>{"Suche Ende des Datenbereiches", "Speichere Bausteindaten"}));
    EXPECT_EQ(source.downSteps, 0x800u - 0x123u);
    EXPECT_EQ(source.progressTotal, 0x124u);
}

TEST_F(Writers, BinaryOfABlankChipNeedsFFSave) {
    std::vector<std::uint8_t> image(0x1000, 0xFF);
    image[0] = 0x12;  // cell 0 is never tested
    RecordingSource flash(image, kFlash);
    EXPECT_EQ(Save(kFormatBinary, flash, kFlash, 0x800), kSaveFailed);
    RecordingSource eeprom(image, kEeprom);
    EXPECT_EQ(Save(kFormatBinary, eeprom, kEeprom, 1), kSaveFailed);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                              "Der Baustein enthält nur Leerzellen im Programmspeicher!!\n\nSpeichervorgang abgebrochen."
                              "\n\nWenn eine Leerzellen-Datei geschrieben werden\nsoll, ** Leerzellen speichern ** "
                              "aktivieren !",
                              "Der Baustein enthält nur Leerzellen im Datenspeicher!!\n\nSpeichervorgang abgebrochen."
                              "\n\nWenn eine Leerzellen-Datei geschrieben werden\nsoll, ** Leerzellen speichern ** "
                              "aktivieren !"}));
    ctx->settings.ffSave = 1;
    RecordingSource blank({}, kFlash);
    ASSERT_EQ(Save(kFormatBinary, blank, kFlash, 0x800), kSaveOk);
    EXPECT_EQ(ReadFile(out), std::string(0x1000, '\xFF'));
}

TEST_F(Writers, RomLinesLeaveBlankCellsOutUnlessFFSave) {
    std::vector<std::uint8_t> image(8, 0xFF);
    image[6] = 0x0C;
    image[7] = 0x94;
    RecordingSource flash(image, kFlash);
    ASSERT_EQ(Save(kFormatRom, flash, kFlash, 4), kSaveOk);
    EXPECT_EQ(ReadFile(out), "000003:940C\r\n");
    RecordingSource blank({}, kEeprom);
    ASSERT_EQ(Save(kFormatRom, blank, kEeprom, 0x200), kSaveOk);
    EXPECT_EQ(ReadFile(out), "");
    ctx->settings.ffSave = 1;
    ASSERT_EQ(Save(kFormatRom, blank, kEeprom, 2), kSaveOk);
    EXPECT_EQ(ReadFile(out), "0000:FF\r\n0001:FF\r\n");
}

TEST_F(Writers, CancelStopsEveryWriterAfterTheCurrentCell) {
    const auto image = RandomImage(0x2000, 5);
    for (int format = kFormatBinary; format <= kFormatS3; ++format) {
        SCOPED_TRACE(format);
        RecordingSource source(image, kFlash);
        source.cancelAfterSteps = 100;
        const int result = Save(static_cast<DataFormat>(format), source, kFlash, 0x1000);
        EXPECT_EQ(result, format == kFormatRom ? kSaveOk : kSaveFailed) << "ROM leaves the cancel to its caller";
        EXPECT_EQ(source.steps, 100u);
        const std::string text = ReadFile(out);
        EXPECT_EQ(text.find(":00000001FF"), std::string::npos) << "no end record after a cancel";
        EXPECT_EQ(text.find("S70500000000FA"), std::string::npos);
    }
    EXPECT_EQ(ReadFile(out), "S00E0000544F4C56414E4520372E3122\r\nS30500000000FA\r\n");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Writers, EachWriterGuardsTheProgrammingMode) {
    ctx->device.programmingMode = kNoMode;
    RecordingSource source({}, kFlash);
    EXPECT_EQ(Save(kFormatBinary, source, kFlash, 8), kNoProgrammingMode);
    EXPECT_EQ(Save(kFormatRom, source, kFlash, 8), kNoProgrammingMode);
    EXPECT_EQ(Save(kFormatS1, source, kFlash, 8), kNoProgrammingMode);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Programmiermodus fehlt in SaveBin()",
                                                    "Programmiermodus fehlt in SaveROMHex()",
                                                    "Programmiermodus fehlt in SaveHex()"}));
    EXPECT_EQ(source.reads, 0u);
}

TEST_F(Writers, UnopenableOutputIsReported) {
    ctx->settings.ffSave = 1;
    out = dir / "missing/x.bin";
    RecordingSource source({}, kFlash);
    EXPECT_EQ(Save(kFormatBinary, source, kFlash, 8), kSaveFailed);
    EXPECT_EQ(source.boardOffs, 1);
    EXPECT_EQ(Save(kFormatIntel32, source, kFlash, 8), kSaveFailed);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(2, "Fehler beim Öffnen der Datei\n\n" + out +
                                                          "\n\nDatei oder Verzeichnis existiert nicht"));
}

TEST_F(Writers, SixteenBitIntelRefusesMoreThanSixtyFourKilobytes) {
    RecordingSource source({}, kFlash);
    EXPECT_EQ(Save(kFormatIntel8, source, kFlash, 0x8001), kSaveFailed);
    EXPECT_EQ(ui.Last().text.substr(0, 50), "Programmspeicher oder EEPROM haben mehr als 64kB !");
}

// A full disk: the failure is reported where the writer finds it, then the file error;
// nothing after it reads like a success.
TEST_F(Writers, FullDiskFailsEverySave) {
    const std::string fileError = "Fehler beim Öffnen der Datei\n\n/dev/full\n\nKein Platz mehr auf dem Gerät";
    out = "/dev/full";
    const auto image = RandomImage(0x40000, 6);
    for (int format = kFormatBinary; format <= kFormatS3; ++format) {
        SCOPED_TRACE(format);
        ui.shown.clear();
        RecordingSource big(image, kFlash);
        ASSERT_EQ(Save(static_cast<DataFormat>(format), big, kFlash, format == kFormatIntel8 ? 0x8000 : 0x20000),
                  kSaveFailed);
        const auto texts = ui.Texts();
        ASSERT_GE(texts.size(), 1u);
        EXPECT_EQ(texts.back(), fileError);
        if (format == kFormatBinary) {
            EXPECT_EQ(texts, (std::vector<std::string>{"Datenblock konnte nicht geschrieben werden !", fileError}));
        } else if (format == kFormatRom || format == kFormatIntel8 || format == kFormatS3) {
            ASSERT_EQ(texts.size(), 2u);
            EXPECT_EQ(texts[0].substr(0, 9), "Hex-Zeile");
            EXPECT_NE(texts[0].find("\nkonnte nicht geschrieben werden"), std::string::npos);
        }
        if (format == kFormatIntel32 || format == kFormatIntelMcs86) {
            EXPECT_LT(big.reads, 0x20000u) << "the save stops at the failed block";
        }
    }
    // A small file fails only when it is closed.
    ui.shown.clear();
    RecordingSource small(RandomImage(64, 7), kEeprom);
    EXPECT_EQ(Save(kFormatS2, small, kEeprom, 64), kSaveFailed);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{fileError});
}

}  // namespace
}  // namespace merlinox
