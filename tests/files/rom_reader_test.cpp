#include <gtest/gtest.h>

#include <string>

#include "files_test_support.h"

namespace merlinox {
namespace {

using testing::FilesFixture;

using RomReader = FilesFixture;

TEST_F(RomReader, FlashLineStoresTheWordLowByteFirst) {
    ASSERT_EQ(Load("00001A:940C\r\n00001b:00c0   \r\n").result, kLoadOk);
    EXPECT_EQ(Bytes()[0x34], 0x0C);
    EXPECT_EQ(Bytes()[0x35], 0x94);
    EXPECT_EQ(Bytes()[0x37], 0x00);
    EXPECT_EQ(ctx->image.highestAddress, 0x37u);
}

TEST_F(RomReader, EepromLineStoresTheByte) {
    ASSERT_EQ(Load("0000:3C\r\n01F0:3c\r\n", kEeprom).result, kLoadOk);
    EXPECT_EQ(Bytes()[0], 0x3C);
    EXPECT_EQ(Bytes()[0x1F0], 0x3C);
    EXPECT_EQ(ctx->image.highestAddress, 0x1F0u);
}

TEST_F(RomReader, LastWordOfTheDeviceLoadsAndTheNextIsRefused) {
    ctx->device.flashWords = 0x1000;
    EXPECT_EQ(Load("000FFF:1234\r\n").result, kLoadOk);
    EXPECT_EQ(Load("000FFF:1234\r\n001000:1234\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Zuviele Programmdaten für diesen Baustein !\n\nErlaubt: 0x1000\nGelesen: 0x1001");
}

TEST_F(RomReader, WordsPastTheImageAreCountedNotStored) {
    EXPECT_EQ(Load("FFFFFF:1234\r\n").result, kLoadFailed);
    EXPECT_EQ(ctx->image.highestAddress, 0x1FFFFFFu);
    for (std::size_t a = 0; a < MemoryImage::kSize; ++a) ASSERT_EQ(Bytes()[a], 0xFF) << a;
}

TEST_F(RomReader, LineOfTheOtherMemoryOrWithLeadingSpaceMissesTheColon) {
    EXPECT_EQ(Load("0000:3C\r\n").result, kLoadFailed);
    EXPECT_EQ(Load("00001A:940C\r\n", kEeprom).result, kLoadFailed);
    EXPECT_EQ(Load("00001A:940C\r\n 00001B:940C\r\n").result, kLoadFailed);
    EXPECT_EQ(Load("00001A:940C\r\n\r\n").result, kLoadFailed) << "an empty line";
    EXPECT_EQ(ui.Texts(), std::vector<std::string>(4, "Das ':' fehlt in der Zeile"));
}

TEST_F(RomReader, WrongLengthAndDoubleCellNameTheirLine) {
    EXPECT_EQ(Load("00001A:940C\r\n00001B:94\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 9\nBerechnet 11\n");
    EXPECT_EQ(Load("0001:3C\r\n0002:3C4\r\n", kEeprom).result, kLoadFailed);
    EXPECT_EQ(ui.Last().text, "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 8\nBerechnet 7\n");
    EXPECT_EQ(Load("00001A:940C\r\n000001:1111\r\n00001A:940C\r\n").result, kLoadFailed);
    EXPECT_EQ(ui.Last().text,
              "Eine oder mehrere Speicherzellen werden\nin dieser HEX-Datei doppelt belegt !\n\nGefunden in Zeile 3\n");
    EXPECT_EQ(Load("00001A:FFFF\r\n00001A:940C\r\n").result, kLoadOk) << "a blank word may be written again";
}

}  // namespace
}  // namespace merlinox
