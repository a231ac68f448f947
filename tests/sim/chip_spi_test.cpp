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
    explicit SerialChip(const char* part) : chip(*FindChipByName(part)), pins(chip) {
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

// Out of step: see the SPISync tests.
TEST(ChipSpi, EchoesTheEnableOnlyWhenItComesInTimeWithMosiSetBeforeTheEdge) {
    SerialChip mega8("ATmega8");
    EXPECT_EQ(mega8.Read(0x30, 0x00, 0x00), 0x00);
    EXPECT_EQ(mega8.pins.Spi(0xAC, 0x53, 0x00, 0x00)[2], 0x53);
    // From then on every byte comes back one byte later.
    EXPECT_EQ(mega8.pins.Spi(0x30, 0x00, 0x01, 0x00), (Answer{0x00, 0x30, 0x00, 0x93}));

    SerialChip early("ATmega8");
    early.pins.PowerSerial(0);
    early.pins.PowerSerial(5000, 1000);  // 1 ms after RESET went low
    EXPECT_FALSE(early.pins.EnableSerial());

    SerialChip racing("ATmega8");
    racing.pins.dataWithClock = true;
    EXPECT_FALSE(racing.pins.EnableSerial());
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

// Only the chip erase sets bits again: a flash page is ANDed into what is there, and
// neither SPIEN nor the lock bits can be unprogrammed. The erase spares the EEPROM
// while EESAVE is programmed.
TEST(ChipSpi, OnlyTheChipEraseSetsBitsAgainAndItHonoursEesave) {
    for (const std::uint8_t high : {0xD9, 0xD1}) {  // EESAVE (bit 3) off, then on
        SCOPED_TRACE(high);
        SerialChip mega8("ATmega8");
        ASSERT_TRUE(mega8.pins.EnableSerial());
        for (const std::uint8_t low : {0xF0, 0x3C}) {
            mega8.pins.Spi(0x40, 0x00, 0x00, low);
            mega8.Do(0x4C, 0x00, 0x00, 0x00, 4500);
        }
        EXPECT_EQ(mega8.ReadWord(0), 0xFF30);
        mega8.Do(0xC0, 0x00, 0x00, 0x11, 9000);
        mega8.Do(0xAC, 0xA8, 0x00, high | 0x20, 4500);
        EXPECT_EQ(mega8.Read(0x58, 0x08, 0x00), high);
        mega8.Do(0xAC, 0xE0, 0x00, 0xFC, 4500);
        mega8.Do(0xAC, 0xE0, 0x00, 0xFF, 4500);
        EXPECT_EQ(mega8.Read(0x58, 0x00, 0x00), 0xFC);
        EXPECT_EQ(mega8.Read(0xA0, 0x00, 0x00), kHiddenByte);
        mega8.Do(0xAC, 0x80, 0x00, 0x00, 10000);
        EXPECT_EQ(mega8.Read(0x58, 0x00, 0x00), 0xFF);
        EXPECT_EQ(mega8.ReadWord(0), 0xFFFF);
        EXPECT_EQ(mega8.Read(0xA0, 0x00, 0x00), high == 0xD1 ? 0x11 : 0xFF);
    }
}

// An old part takes its lock bits only in its own form (bits 2 and 1 of the second
// byte) and ignores the new form, so the end-to-end runs catch a PC side that mixes
// them up.
TEST(ChipSpi, OldAndNewLockFormsAreToldApartByThePart) {
    for (auto [part, second, fourth, lock] :
         {std::tuple{"AT90S2313", 0xFF, 0xFC, 0xFF}, std::tuple{"AT90S2313", 0xFD, 0x00, 0xFE},
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
