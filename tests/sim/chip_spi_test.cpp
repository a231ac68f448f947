// The serial programming interface, driven pin by pin with the instruction set of the
// datasheets' "Serial Programming Instruction Set" tables.
#include <gtest/gtest.h>

#include "sim/chip_model.h"
#include "sim/chip_pins.h"

namespace merlinox::sim {
namespace {

using testing::ChipPins;
using Answer = std::array<std::uint8_t, 4>;

struct SerialChip {
    explicit SerialChip(const char* part, ChipOptions options = {})
        : chip(*FindChipByName(part), options), pins(chip) {
        pins.PowerSerial();
    }
    std::uint8_t Read(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
        return pins.Spi(a, b, c, 0)[3];
    }
    std::uint16_t ReadWord(std::uint32_t word) {
        const auto hi = static_cast<std::uint8_t>(word >> 8), lo = static_cast<std::uint8_t>(word);
        return static_cast<std::uint16_t>(Read(0x28, hi, lo) << 8 | Read(0x20, hi, lo));
    }
    // An instruction followed by the wait it needs.
    void Do(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d, std::uint64_t micros) {
        pins.Spi(a, b, c, d);
        pins.WaitUs(micros);
    }
    SimulatedChip chip;
    ChipPins pins;
};

TEST(ChipSpi, AnswersOnlyAfterTheEnableInstructionThenEchoesEveryByteOneLater) {
    SerialChip mega8("ATmega8");
    EXPECT_EQ(mega8.Read(0x30, 0x00, 0x00), 0x00);
    EXPECT_EQ(mega8.pins.Spi(0xAC, 0x53, 0x00, 0x00)[2], 0x53);
    EXPECT_EQ(mega8.pins.Spi(0x30, 0x00, 0x01, 0x00), (Answer{0x00, 0x30, 0x00, 0x93}));
}

// Out of step: see the SPISync tests.
TEST(ChipSpi, EnableFailsTooEarlyWithMosiOnTheEdgeOrWithSpienUnprogrammed) {
    SerialChip early("ATmega8");
    early.pins.PowerSerial(0);
    early.pins.PowerSerial(5000, 1000);  // 1 ms after RESET went low
    EXPECT_FALSE(early.pins.EnableSerial());

    SerialChip racing("ATmega8");
    racing.pins.dataWithClock = true;
    EXPECT_FALSE(racing.pins.EnableSerial());
    EXPECT_FALSE(racing.chip.SerialEnabled());

    SerialChip noSpien("ATmega8");
    noSpien.chip.Contents().fuses[1] |= 0x20;  // as a parallel programmer can leave it
    noSpien.pins.PowerSerial(0);
    noSpien.pins.PowerSerial();
    EXPECT_FALSE(noSpien.pins.Drives(ChipPins::kMiso));
    EXPECT_FALSE(noSpien.pins.EnableSerial());
}

TEST(ChipSpi, PagedFlashReadsErasedWhileBusyAndOnlyClearsBitsUntilErased) {
    SerialChip mega8("ATmega8");  // 32-word pages
    ASSERT_TRUE(mega8.pins.EnableSerial());
    for (std::uint8_t i = 0; i < 32; ++i) {
        mega8.pins.Spi(0x40, 0x00, i, i);
        mega8.pins.Spi(0x48, 0x00, i, 0xA0);
    }
    mega8.pins.Spi(0x4C, 0x00, 0x20, 0x00);  // page 1: words 32..63
    EXPECT_EQ(mega8.ReadWord(33), 0xFFFF);
    mega8.pins.WaitUs(4500);
    EXPECT_EQ(mega8.ReadWord(63), 0xA01F);
    EXPECT_EQ(mega8.ReadWord(31), 0xFFFF);
    mega8.pins.Spi(0x40, 0x00, 0x00, 0x0F);
    mega8.Do(0x4C, 0x00, 0x20, 0x00, 4500);
    EXPECT_EQ(mega8.ReadWord(32), 0xA000);  // ANDed in
    mega8.Do(0xAC, 0x80, 0x00, 0x00, 10000);
    EXPECT_EQ(mega8.ReadWord(32), 0xFFFF);
}

TEST(ChipSpi, OldPartPollsAndDropsWritesWhileBusy) {
    SerialChip s2313("AT90S2313");  // flash polls 0x7F, EEPROM 0x80 then 0x7F
    ASSERT_TRUE(s2313.pins.EnableSerial());
    s2313.pins.Spi(0x40, 0x00, 0x10, 0x55);
    EXPECT_EQ(s2313.Read(0x20, 0x00, 0x10), 0x7F);
    s2313.Do(0x48, 0x00, 0x10, 0xAA, 4000);  // too early: dropped
    EXPECT_EQ(s2313.ReadWord(0x10), 0xFF55);
    EXPECT_EQ(s2313.chip.Core().IgnoredWrites(), 1u);
    s2313.Do(0xC0, 0x00, 0x05, 0x42, 0);
    EXPECT_EQ(s2313.Read(0xA0, 0x00, 0x05), 0x80);
    s2313.pins.WaitUs(2500);
    EXPECT_EQ(s2313.Read(0xA0, 0x00, 0x05), 0x7F);
    s2313.pins.WaitUs(2000);
    EXPECT_EQ(s2313.Read(0xA0, 0x00, 0x05), 0x42);
}

TEST(ChipSpi, LockAndFusesOnlyProgramAndEraseHonoursEesave) {
    for (const std::uint8_t high : {0xD9, 0xD1}) {  // EESAVE (bit 3) off, then on
        SCOPED_TRACE(high);
        SerialChip mega8("ATmega8");
        ASSERT_TRUE(mega8.pins.EnableSerial());
        mega8.Do(0xC0, 0x00, 0x00, 0x11, 9000);
        mega8.Do(0xAC, 0xA8, 0x00, high | 0x20, 4500);  // SPIEN cannot be unprogrammed
        EXPECT_EQ(mega8.Read(0x58, 0x08, 0x00), high);
        mega8.Do(0xAC, 0xE0, 0x00, 0xFC, 4500);
        mega8.Do(0xAC, 0xE0, 0x00, 0xFF, 4500);  // nor the lock bits
        EXPECT_EQ(mega8.Read(0x58, 0x00, 0x00), 0xFC);
        EXPECT_EQ(mega8.Read(0xA0, 0x00, 0x00), kHiddenByte);
        mega8.Do(0xAC, 0x80, 0x00, 0x00, 10000);
        EXPECT_EQ(mega8.Read(0x58, 0x00, 0x00), 0xFF);
        EXPECT_EQ(mega8.Read(0xA0, 0x00, 0x00), high == 0xD1 ? 0x11 : 0xFF);
    }
}

// The forms are told apart by the part: the new lock form means nothing to an old part
// (LB1 and LB2 sit in bits 1 and 2 of the second byte), the old form locks a new one.
TEST(ChipSpi, OldAndNewLockFormsAreToldApartByThePart) {
    for (auto [part, second, fourth, lock] : {std::tuple{"AT90S2313", 0xFF, 0xFC, 0xFF},
                                              std::tuple{"AT90S2313", 0xFD, 0x00, 0xFE},
                                              std::tuple{"ATmega8", 0xF9, 0x00, 0xC0}}) {
        SerialChip chip(part);
        ASSERT_TRUE(chip.pins.EnableSerial());
        chip.Do(0xAC, static_cast<std::uint8_t>(second), 0x00, static_cast<std::uint8_t>(fourth),
                9000);
        EXPECT_EQ(chip.chip.Core().Lock(), lock) << part << " " << second;
    }
}

}  // namespace
}  // namespace merlinox::sim
