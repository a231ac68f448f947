#include <gtest/gtest.h>

#include <string>

#include "files_test_support.h"

namespace merlinox {
namespace {

using testing::FilesFixture;

using IntelReader = FilesFixture;

TEST_F(IntelReader, StoresDataRecordsAtAddressPlusBase) {
    const PassLoad load = Load(
        ":0400100001020304E2\r\n"
        ":020000040001F9\r\n"
        ":02FFFF00AABB9B\r\n"     // runs on across 64 KB: 0x1FFFF and 0x20000
        ":020000021000EC\r\n"     // segment 0x1000: base 0x10000
        ":010020007768\r\n"
        ":00000001FF\r\n"
        "garbage after the end\r\n");
    ASSERT_EQ(load.result, kLoadOk) << ::testing::PrintToString(ui.Texts());
    EXPECT_EQ(load.format, kFormatIntel8);
    EXPECT_EQ(Bytes()[0x10], 1);
    EXPECT_EQ(Bytes()[0x13], 4);
    EXPECT_EQ(Bytes()[0x1FFFF], 0xAA);
    EXPECT_EQ(Bytes()[0x20000], 0xBB);
    EXPECT_EQ(Bytes()[0x10020], 0x77);
    EXPECT_EQ(ctx->image.highestAddress, 0x20000u);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(IntelReader, AcceptsLowerCaseDigitsAndFilesWithoutEndRecord) {
    ASSERT_EQ(Load(":04000000aabbccddee\n").result, kLoadOk);
    EXPECT_EQ(Bytes()[3], 0xDD);
}

TEST_F(IntelReader, EndRecordEndsWhateverItsAddressAndChecksum) {
    ASSERT_EQ(Load(":020000001234B8\r\n:00FFFF01\r\n:zz\r\n").result, kLoadOk);
    EXPECT_EQ(ctx->image.highestAddress, 1u);
}

TEST_F(IntelReader, EndTypeWithDataIsPassedOverAndReadingGoesOn) {
    ASSERT_EQ(Load(":020000001234B8\r\n:0100000155XX\r\n:0200020056782E\r\n").result, kLoadOk);
    EXPECT_EQ(Bytes()[3], 0x78);
}

TEST_F(IntelReader, LinearRecordAloneRaisesTheHighestAddressToItsBase) {
    ctx->device.flashWords = 0x8000;
    EXPECT_EQ(Load(":020000040001F9\r\n:0400000001020304F2\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                              "Zuviele Programmdaten für diesen Baustein !\n\nErlaubt: 0x8000\nGelesen: 0x8002"});
}

TEST_F(IntelReader, RecordPastTheImageStoresOnlyWhatFits) {
    const PassLoad load = Load(":020000040003F7\r\n:10FFF800000102030405060708090A0B0C0D0E0F81\r\n");
    EXPECT_EQ(load.result, kLoadFailed);
    EXPECT_EQ(Bytes()[0x3FFFF], 7);
    EXPECT_EQ(ctx->image.highestAddress, 0x40007u);
    EXPECT_EQ(ui.Last().text, "Zuviele Programmdaten für diesen Baustein !\n\nErlaubt: 0x20000\nGelesen: 0x20004");
}

TEST_F(IntelReader, AddressesNearTheTopNeverWrapIntoTheImage) {
    EXPECT_EQ(Load(":02000004FFFFFC\r\n:10FFFF00000102030405060708090A0B0C0D0E0F7A\r\n").result, kLoadFailed);
    for (std::size_t a = 0; a < MemoryImage::kSize; ++a) ASSERT_EQ(Bytes()[a], 0xFF) << a;
    EXPECT_EQ(ctx->image.highestAddress, 0xFFFFFFFFu);
    EXPECT_EQ(ui.Last().text,
              "Zuviele Programmdaten für diesen Baustein !\n\nErlaubt: 0x20000\nGelesen: 0x80000000");
}

TEST_F(IntelReader, RefusesMalformedLinesWithTheirLineNumber) {
    EXPECT_EQ(Load(":0400000001020304F2\r\n\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Zeilenanfang in Zeile 2\nder Hex-Datei nicht gefunden !");
    EXPECT_EQ(Load(":0400000001020304F2\r\n:0400040001020304\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 17\nBerechnet 19\n");
    EXPECT_EQ(Load(":0400000001020304F2  \r\n:04000400010203040E\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Prüfsumme der HEX-Zeile 2 stimmt nicht !\n\nGelesen 0x000E\nBerechnet 0x00EE\n");
    EXPECT_EQ(Load(":04000000" + std::string(10 * 1024 * 1024, '0') + "\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Länge der HEX-Zeile 1 stimmt nicht !\n\nGelesen 2047\nBerechnet 19\n");
}

TEST_F(IntelReader, ChecksumIsIgnoredWhenTestingIsOff) {
    ctx->settings.testChecksum = 0;
    EXPECT_EQ(Load(":0400000001020304F3\r\n").result, kLoadOk);
}

TEST_F(IntelReader, DoublyWrittenCellNamesTheSecondLine) {
    EXPECT_EQ(Load(":0400000001020304F2\r\n:020002000000FC\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text,
              "Eine oder mehrere Speicherzellen werden\nin dieser HEX-Datei doppelt belegt !\n\nGefunden in Zeile 2\n");
    // A cell written with 0xFF may be written again.
    EXPECT_EQ(Load(":02000000FFFF00\r\n:020000001234B8\r\n").result, kLoadOk);
}

TEST_F(IntelReader, OneByteAtAddressZeroFirstIsNoReasonToStop) {
    const PassLoad load = Load(":0100000012ED\r\n:0100010034CA\r\n:00000001FF\r\n");
    EXPECT_EQ(load.result, kLoadOk);
    EXPECT_EQ(Bytes()[1], 0x34);
}

}  // namespace
}  // namespace merlinox
