#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "files/files_test_support.h"

namespace merlinox {
namespace {

using Readers = testing::FilesFixture;

std::string LengthError(int line, int found, int expected) {
    return "Länge der HEX-Zeile " + std::to_string(line) + " stimmt nicht !\n\nGelesen " +
           std::to_string(found) + "\nBerechnet " + std::to_string(expected) + "\n";
}
const std::string kStartError2 = "Zeilenanfang in Zeile 2\nder Hex-Datei nicht gefunden !";
const std::string kDoubleCell2 =
    "Eine oder mehrere Speicherzellen werden\nin dieser HEX-Datei doppelt belegt !\n\n"
    "Gefunden in Zeile 2\n";
const std::string kIntel = ":0400000001020304F2\r\n";
const std::string kMotorola = "S1070010010203FFE3\r\n";
const std::string kRom = "00001A:940C\r\n";

TEST_F(Readers, IntelStoresDataAtAddressPlusBaseUpToTheEndRecord) {
    const PassLoad load = Load(
        ":04001000aabbccddDE\r\n"
        ":0100000155XX\r\n"  // type 01 with data: passed over, reading goes on
        ":020000040001F9\r\n"
        ":02FFFF00AABB9B\r\n"  // runs on across 64 KB: 0x1FFFF and 0x20000
        ":020000021000EC\r\n"  // segment 0x1000: base 0x10000
        ":010020007768\r\n"
        ":00FFFF01\r\n"  // the end, whatever its address and checksum
        "garbage\r\n");
    ASSERT_EQ(load.result, kLoadOk) << ::testing::PrintToString(ui.Texts());
    EXPECT_EQ(Bytes()[0x13], 0xDD);
    EXPECT_EQ(Bytes()[0x20000], 0xBB);
    EXPECT_EQ(Bytes()[0x10020], 0x77);
    EXPECT_EQ(ctx->image.highestAddress, 0x20000u);
    // A single byte at address 0 first is no reason to stop.
    EXPECT_EQ(Load(":0100000012ED\r\n:0100010034CA\r\n").result, kLoadOk);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Readers, MotorolaReadsAllDataRecordsAndSkipsHeadersAndEmptyRecords) {
    const PassLoad load =
        Load("S0 anything, even a wrong checksum\r\nS1030000FC\r\n" + kMotorola +
             "S2060100200102D5\r\nS30700020030AABB61\r\nS9030000FC\r\nS1 ignored\r\n");
    ASSERT_EQ(load.result, kLoadOk) << ::testing::PrintToString(ui.Texts());
    EXPECT_EQ(Bytes()[0x10], 1);
    EXPECT_EQ(Bytes()[0x10021], 2);
    EXPECT_EQ(Bytes()[0x20031], 0xBB);
    EXPECT_EQ(ctx->image.highestAddress, 0x20031u);
    EXPECT_EQ(Load(kMotorola.substr(0, 18)).result, kLoadOk) << "no end record, no line end";
    // Count records, 16 and 24 bits, that agree with the data records before them.
    EXPECT_EQ(Load(kMotorola + "S5030001FB\r\nS9030000FC\r\n").result, kLoadOk);
    EXPECT_EQ(Load("S0030000FC\nS1050000AABB95\nS604000001FA\n").result, kLoadOk);
    EXPECT_EQ(Bytes()[1], 0xBB);
}

TEST_F(Readers, RefuseMalformedLinesWithTheirMessage) {
    const std::tuple<std::string, MemoryKind, std::string> refusals[] = {
        {kIntel + "\r\n", kFlash, kStartError2},
        {kIntel + ":0400040001020304\r\n", kFlash, LengthError(2, 17, 19)},
        {kIntel + ":04000400010203040E\r\n", kFlash,
         "Prüfsumme der HEX-Zeile 2 stimmt nicht !\n\nGelesen 0x000E\nBerechnet 0x00EE\n"},
        {kIntel + std::string(":04000400\0\0\0\0\0\0\0\0EE\r\n", 21), kFlash,
         "Prüfsumme der HEX-Zeile 2 stimmt nicht !\n\nGelesen 0x00EE\nBerechnet 0x00F8\n"},
        {kIntel + ":020002000000FC\r\n", kFlash, kDoubleCell2},
        {kMotorola + "S4030001FB\r\n", kFlash, kStartError2},
        {kMotorola + "s5030001FB\r\n", kFlash, kStartError2},
        {kMotorola + "S5030002FA\r\n", kFlash,
         "Der Zähl-Record S5 in Zeile 2 stimmt nicht !\n\nAngegeben 2 Datensätze\n"
         "Gelesen 1 Datensätze\n"},
        {kMotorola + "S1020000FD\r\n", kFlash, LengthError(2, 10, 8)},
        {kMotorola + "S\r\n", kFlash, kStartError2},
        {kMotorola + "S1020000\r\n", kFlash, LengthError(2, 8, 10)},  // no room for the address
        {"S1050000FFFF00\r\n", kFlash,
         "Prüfsumme der HEX-Zeile 1 stimmt nicht !\n\nGelesen 0x0000\nBerechnet 0x00FC\n"},
        {kRom + "00001B:94\r\n", kFlash, LengthError(2, 9, 11)},
        {kRom, kEeprom, "Das ':' fehlt in der Zeile"},
        {kRom + "\r\n", kFlash, "Das ':' fehlt in der Zeile"},
    };
    for (const auto& [content, kind, message] : refusals) {
        ui.shown.clear();
        EXPECT_EQ(Load(content, kind).result, kLoadFailed) << message;
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{message});
    }
}

TEST_F(Readers, ChecksumIsIgnoredWhenTestingIsOffAndBlankCellsMayBeRewritten) {
    ctx->settings.testChecksum = 0;
    EXPECT_EQ(Load(":0400000001020304F3\r\n").result, kLoadOk);
    EXPECT_EQ(Load("S1050010FFFF00\r\n").result, kLoadOk);
    ctx->settings.testChecksum = 1;
    EXPECT_EQ(Load(":02000000FFFF00\r\n:020000001234B8\r\n").result, kLoadOk);
}

// Whatever addresses a file names, nothing is stored outside the image: the bytes below
// 0x40000 are stored, the rest only counted, and the size check refuses the file.
TEST_F(Readers, AddressesPastTheImageAreCountedNeverStored) {
    EXPECT_EQ(Load(":020000040003F7\r\n:10FFF800000102030405060708090A0B0C0D0E0F81\r\n").result,
              kLoadFailed);
    EXPECT_EQ(Bytes()[0x3FFFF], 7);
    EXPECT_EQ(ctx->image.highestAddress, 0x40007u);
    for (const std::string content :
         {":02000004FFFFFC\r\n:10FFFF00000102030405060708090A0B0C0D0E0F7A\r\n",
          "S307FFFFFFFE0102FA\r\n", "FFFFFF:1234\r\n"}) {
        EXPECT_EQ(Load(content).result, kLoadFailed);
        EXPECT_TRUE(std::all_of(Bytes(), Bytes() + MemoryImage::kSize, [](std::uint8_t b) {
            return b == 0xFF;
        })) << content;
    }
    EXPECT_EQ(
        ui.Last().text,
        "Zuviele Programmdaten für diesen Baustein !\n\nErlaubt: 0x20000\nGelesen: 0x1000000");
}

}  // namespace
}  // namespace merlinox
