#include <gtest/gtest.h>

#include <string>

#include "files_test_support.h"

namespace merlinox {
namespace {

using testing::FilesFixture;

using MotorolaReader = FilesFixture;

TEST_F(MotorolaReader, ReadsAllThreeDataRecordsInAnyFormat) {
    const PassLoad load = Load(
        "S0 anything at all, even a wrong checksum\r\n"
        "S1030000FC\r\n"                   // no data: skipped untested
        "S1070010010203FFE3\r\n"
        "S2060100200102D5\r\n"
        "S30700020030AABB61\r\n"
        "S9030000FC\r\n"
        "S1 after the end is not read\r\n");
    ASSERT_EQ(load.result, kLoadOk) << ::testing::PrintToString(ui.Texts());
    EXPECT_EQ(load.format, kFormatS1);
    EXPECT_EQ(Bytes()[0x10], 1);
    EXPECT_EQ(Bytes()[0x13], 0xFF);
    EXPECT_EQ(Bytes()[0x10021], 2);
    EXPECT_EQ(Bytes()[0x20031], 0xBB);
    EXPECT_EQ(ctx->image.highestAddress, 0x20031u);
}

TEST_F(MotorolaReader, FileWithoutEndRecordLoadsAsIfItHadOne) {
    EXPECT_EQ(Load("S1070010010203FFE3").result, kLoadOk);
}

TEST_F(MotorolaReader, RefusesCountRecordsLowerCaseAndEmptyLines) {
    const std::string data = "S1070010010203FFE3\r\n";
    for (const std::string bad : {"S5030001FB", "s1070020010203FFD3", "", "S", "S4030000FC", "X"}) {
        EXPECT_EQ(Load(data + bad + "\r\n").result, kLoadFailed) << bad;
        EXPECT_EQ(ui.Last().text, "Zeilenanfang in Zeile 2\nder Hex-Datei nicht gefunden !") << bad;
    }
}

TEST_F(MotorolaReader, ChecksumOfTheSpecimenLineIsRefused) {
    EXPECT_EQ(Load("S1050000FFFF00\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Prüfsumme der HEX-Zeile 1 stimmt nicht !\n\nGelesen 0x0000\nBerechnet 0x00FC\n");
    ctx->settings.testChecksum = 0;
    EXPECT_EQ(Load("S1050010FFFF00\r\n").result, kLoadOk);
}

TEST_F(MotorolaReader, CountTooSmallForAddressAndChecksumIsRefusedBeforeReading) {
    EXPECT_EQ(Load("S1070010010203FFE3\r\nS1020000\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 8\nBerechnet 10\n");
    EXPECT_EQ(Load("S1070010010203FFE3\r\nS300\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 4\nBerechnet 14\n");
}

TEST_F(MotorolaReader, WrongLengthAndDoubleCellNameTheirLine) {
    EXPECT_EQ(Load("S1070010010203FFE3\r\nS1070010010203FF\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 16\nBerechnet 18\n");
    EXPECT_EQ(Load("S1070010010203FFE3\r\nS1070010010203FFE3\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text,
              "Eine oder mehrere Speicherzellen werden\nin dieser HEX-Datei doppelt belegt !\n\nGefunden in Zeile 2\n");
}

TEST_F(MotorolaReader, ThirtyTwoBitAddressesPastTheImageAreCountedNotStored) {
    EXPECT_EQ(Load("S307FFFFFFFE0102FA\r\n").result, kLoadFailed);
    for (std::size_t a = 0; a < MemoryImage::kSize; ++a) ASSERT_EQ(Bytes()[a], 0xFF) << a;
    EXPECT_EQ(ctx->image.highestAddress, 0xFFFFFFFFu);
}

}  // namespace
}  // namespace merlinox
