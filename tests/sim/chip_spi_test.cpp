// The serial programming interface, driven pin by pin with the instruction set of the
// datasheets' "Serial Programming Instruction Set" tables.
#include <gtest/gtest.h>

#include "sim/chip_model.h"
#include "sim/chip_pins.h"

namespace merlinox::sim {
namespace {

using testing::ChipPins;

struct SerialChip {
    explicit SerialChip(const char* part, ChipOptions options = {})
        : chip(*FindChipByName(part), options), pins(chip) {
        pins.PowerSerial();
    }
    std::uint16_t ReadWord(std::uint32_t word) {
        const auto lo = pins.Spi(0x20, static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word), 0)[3];
        const auto hi = pins.Spi(0x28, static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word), 0)[3];
        return static_cast<std::uint16_t>(hi << 8 | lo);
    }
    SimulatedChip chip;
    ChipPins pins;
};

TEST(ChipSpi, EntersProgrammingModeOnlyAfterTheEnableInstruction) {
    SerialChip mega8("ATmega8");
    EXPECT_EQ(mega8.pins.Spi(0x30, 0x00, 0x00, 0x00)[3], 0x00);  // not yet enabled
    const auto answer = mega8.pins.Spi(0xAC, 0x53, 0x00, 0x00);
    EXPECT_EQ(answer[2], 0x53);
    for (std::uint8_t i = 0; i < 3; ++i) {
        EXPECT_EQ(mega8.pins.Spi(0x30, 0x00, i, 0x00)[3], FindChipByName("ATmega8")->signature[i]);
    }
    // Enabled, every byte comes back one byte later.
    EXPECT_EQ(mega8.pins.Spi(0x12, 0x34, 0x56, 0x78), (std::array<std::uint8_t, 4>{0x00, 0x12, 0x34, 0x56}));
}

TEST(ChipSpi, At90s1200DoesNotEchoButEnables) {
    SerialChip chip("AT90S1200");
    EXPECT_EQ(chip.pins.Spi(0xAC, 0x53, 0x00, 0x00)[2], 0x00);
    EXPECT_TRUE(chip.chip.SerialEnabled());
    EXPECT_EQ(chip.pins.Spi(0x30, 0x00, 0x01, 0x00)[3], 0x90);
}

TEST(ChipSpi, OutOfStepChipDoesNotEchoUntilResetOrResynchronised) {
    SerialChip mega8("ATmega8");
    mega8.pins.Sck(true);  // a stray clock puts the chip one bit out of step
    mega8.pins.Sck(false);
    EXPECT_FALSE(mega8.pins.EnableSerial());
    EXPECT_FALSE(mega8.chip.SerialEnabled());
    mega8.pins.ResetPulse();
    EXPECT_TRUE(mega8.pins.EnableSerial());

    // The old parts' way: one extra SCK pulse per failed attempt walks the framing round.
    SerialChip old("AT90S2313");
    for (int i = 0; i < 5; ++i) old.pins.SpiByte(0x00), old.pins.Sck(true), old.pins.Sck(false);
    int attempts = 1;
    while (!old.pins.EnableSerial() && attempts < 40) {
        old.pins.Sck(true);
        old.pins.Sck(false);
        ++attempts;
    }
    EXPECT_LT(attempts, 33);
    EXPECT_EQ(old.pins.Spi(0x30, 0x00, 0x02, 0x00)[3], 0x01);
}

TEST(ChipSpi, NoSupplyOrSpienUnprogrammedMeansNoAnswer) {
    SerialChip low("ATmega8");
    low.pins.PowerSerial(2000);
    EXPECT_FALSE(low.pins.Drives(ChipPins::kMiso));
    EXPECT_FALSE(low.pins.EnableSerial());

    SerialChip chip("ATmega8");
    chip.chip.Contents().fuses[1] |= 0x20;  // SPIEN unprogrammed, as a parallel programmer can do
    chip.pins.PowerSerial();
    EXPECT_FALSE(chip.pins.Drives(ChipPins::kMiso));
}

TEST(ChipSpi, PagedFlashIsLoadedWrittenAndOnlyClearsBitsUntilErased) {
    SerialChip mega8("ATmega8");  // 32-word pages
    ASSERT_TRUE(mega8.pins.EnableSerial());
    for (std::uint8_t i = 0; i < 32; ++i) {
        mega8.pins.Spi(0x40, 0x00, i, i);
        mega8.pins.Spi(0x48, 0x00, i, 0xA0);
    }
    mega8.pins.Spi(0x4C, 0x00, 0x20, 0x00);  // page 1: words 32..63
    EXPECT_EQ(mega8.ReadWord(33), 0xFFFF);      // busy: the page reads 0xFF
    mega8.pins.WaitUs(4500);
    EXPECT_EQ(mega8.ReadWord(32), 0xA000);
    EXPECT_EQ(mega8.ReadWord(63), 0xA01F);
    EXPECT_EQ(mega8.ReadWord(31), 0xFFFF);

    // Writing the page again without an erase ANDs the data in.
    mega8.pins.Spi(0x40, 0x00, 0x00, 0x0F);
    mega8.pins.Spi(0x4C, 0x00, 0x20, 0x00);
    mega8.pins.WaitUs(4500);
    EXPECT_EQ(mega8.ReadWord(32), 0xA000);
    mega8.pins.Spi(0xAC, 0x80, 0x00, 0x00);
    mega8.pins.WaitUs(10000);
    EXPECT_EQ(mega8.ReadWord(32), 0xFFFF);
}

TEST(ChipSpi, ExtendedAddressReachesTheUpperHalfOfA256KPart) {
    SerialChip mega2560("ATmega2560");
    ASSERT_TRUE(mega2560.pins.EnableSerial());
    mega2560.pins.Spi(0x40, 0x00, 0x7F, 0x34);
    mega2560.pins.Spi(0x48, 0x00, 0x7F, 0x12);
    mega2560.pins.Spi(0x4D, 0x00, 0x01, 0x00);
    mega2560.pins.Spi(0x4C, 0xFF, 0x80, 0x00);  // page holding word 0x1FFFF
    mega2560.pins.WaitUs(4500);
    EXPECT_EQ(mega2560.ReadWord(0xFFFF), 0x1234);
    EXPECT_EQ(mega2560.chip.Contents().flash[0x3FFFE], 0x34);
    mega2560.pins.Spi(0x4D, 0x00, 0x00, 0x00);
    EXPECT_EQ(mega2560.ReadWord(0xFFFF), 0xFFFF);
}

TEST(ChipSpi, ByteWriteOfAnOldPartPollsAndIgnoresWritesWhileBusy) {
    SerialChip s2313("AT90S2313");  // flash polls 0x7F, EEPROM 0x80 then 0x7F
    ASSERT_TRUE(s2313.pins.EnableSerial());
    s2313.pins.Spi(0x40, 0x00, 0x10, 0x55);
    EXPECT_EQ(s2313.pins.Spi(0x20, 0x00, 0x10, 0x00)[3], 0x7F);
    s2313.pins.Spi(0x48, 0x00, 0x10, 0xAA);  // too early: dropped
    s2313.pins.WaitUs(4000);
    EXPECT_EQ(s2313.ReadWord(0x10), 0xFF55);
    EXPECT_EQ(s2313.chip.Core().IgnoredWrites(), 1u);

    s2313.pins.Spi(0xC0, 0x00, 0x05, 0x42);
    EXPECT_EQ(s2313.pins.Spi(0xA0, 0x00, 0x05, 0x00)[3], 0x80);
    s2313.pins.WaitUs(2500);
    EXPECT_EQ(s2313.pins.Spi(0xA0, 0x00, 0x05, 0x00)[3], 0x7F);
    s2313.pins.WaitUs(2000);
    EXPECT_EQ(s2313.pins.Spi(0xA0, 0x00, 0x05, 0x00)[3], 0x42);
}

TEST(ChipSpi, NewLockAndFuseFormsAndWhatTheLockHides) {
    SerialChip mega8("ATmega8");
    ASSERT_TRUE(mega8.pins.EnableSerial());
    mega8.pins.Spi(0xC0, 0x00, 0x00, 0x11);
    mega8.pins.WaitUs(9000);
    mega8.pins.Spi(0xAC, 0xA0, 0x00, 0xE4);
    mega8.pins.WaitUs(4500);
    mega8.pins.Spi(0xAC, 0xA8, 0x00, 0xFB);  // tries to unprogram SPIEN too
    mega8.pins.WaitUs(4500);
    EXPECT_EQ(mega8.pins.Spi(0x50, 0x00, 0x00, 0x00)[3], 0xE4);
    EXPECT_EQ(mega8.pins.Spi(0x58, 0x08, 0x00, 0x00)[3], 0xDB);
    mega8.pins.Spi(0xAC, 0xE0, 0x00, 0xFC);
    mega8.pins.WaitUs(4500);
    EXPECT_EQ(mega8.pins.Spi(0x58, 0x00, 0x00, 0x00)[3], 0xFC);
    EXPECT_EQ(mega8.pins.Spi(0xA0, 0x00, 0x00, 0x00)[3], kHiddenByte);
    mega8.pins.Spi(0xAC, 0xE0, 0x00, 0xFF);  // lock bits cannot be unprogrammed
    mega8.pins.WaitUs(4500);
    EXPECT_EQ(mega8.pins.Spi(0x58, 0x00, 0x00, 0x00)[3], 0xFC);

    // Erase clears the lock; EESAVE (high fuse bit 3) is not programmed, so EEPROM goes.
    mega8.pins.Spi(0xAC, 0x80, 0x00, 0x00);
    mega8.pins.WaitUs(10000);
    EXPECT_EQ(mega8.pins.Spi(0x58, 0x00, 0x00, 0x00)[3], 0xFF);
    EXPECT_EQ(mega8.pins.Spi(0xA0, 0x00, 0x00, 0x00)[3], 0xFF);
}

TEST(ChipSpi, EesaveKeepsTheEepromThroughChipErase) {
    SerialChip mega8("ATmega8");
    mega8.chip.Contents().fuses[1] = 0xD1;
    mega8.chip.Contents().eeprom[7] = 0x77;
    ASSERT_TRUE(mega8.pins.EnableSerial());
    mega8.pins.Spi(0xAC, 0x80, 0x00, 0x00);
    mega8.pins.WaitUs(10000);
    EXPECT_EQ(mega8.pins.Spi(0xA0, 0x00, 0x07, 0x00)[3], 0x77);
}

TEST(ChipSpi, OldLockAndFuseForms) {
    SerialChip s2333("AT90S2333");
    ASSERT_TRUE(s2333.pins.EnableSerial());
    s2333.pins.Spi(0xAC, 0xA0 | 0x15, 0x00, 0x00);  // fuse bits 0..4 in the second byte
    s2333.pins.WaitUs(9000);
    EXPECT_EQ(s2333.pins.Spi(0x50, 0x00, 0x00, 0x00)[3], 0xD5);  // SPIEN (bit 5) programmed
    s2333.pins.Spi(0xAC, 0xFD, 0x00, 0x00);  // LB1 (bit 1) programmed, LB2 (bit 2) not
    s2333.pins.WaitUs(9000);
    EXPECT_EQ(s2333.pins.Spi(0x58, 0x00, 0x00, 0x00)[3], 0xF9 | 0x04);

    SerialChip s2343("AT90S2343");
    ASSERT_TRUE(s2343.pins.EnableSerial());
    s2343.pins.Spi(0xAC, 0xBE, 0x00, 0x00);  // RCEN programmed
    s2343.pins.WaitUs(9000);
    s2343.pins.Spi(0xAC, 0xF9, 0x00, 0x00);  // both lock bits
    s2343.pins.WaitUs(9000);
    EXPECT_EQ(s2343.pins.Spi(0x58, 0x00, 0x00, 0x00)[3], 0x1E);  // LB1, LB2, SPIEN, RCEN all 0
    EXPECT_EQ(s2343.ReadWord(0), 0x0000);  // hidden

    // The new lock form means nothing to an old part; the old form locks a new one.
    SerialChip s2313("AT90S2313");
    ASSERT_TRUE(s2313.pins.EnableSerial());
    s2313.pins.Spi(0xAC, 0xFF, 0x00, 0xFC);
    s2313.pins.WaitUs(9000);
    EXPECT_EQ(s2313.chip.Core().Lock(), 0xFF);
    SerialChip mega8("ATmega8");
    ASSERT_TRUE(mega8.pins.EnableSerial());
    mega8.pins.Spi(0xAC, 0xF9, 0x00, 0x00);
    mega8.pins.WaitUs(4500);
    EXPECT_EQ(mega8.chip.Core().Lock(), 0xC0);
}

TEST(ChipSpi, Xtal1ClockedPartAnswersOnlyWhileClocked) {
    ChipOptions options;
    options.spiClocking.xtal1Clocked = true;
    SerialChip unclocked("ATmega8", options);
    EXPECT_FALSE(unclocked.pins.EnableSerial());

    SerialChip clocked("ATmega8", options);
    clocked.pins.xtal1PerLevel = 2;
    EXPECT_TRUE(clocked.pins.EnableSerial());
    EXPECT_EQ(clocked.pins.Spi(0x30, 0x00, 0x02, 0x00)[3], 0x07);

    SerialChip tooFew("ATmega8", options);
    tooFew.pins.xtal1PerLevel = 1;
    EXPECT_FALSE(tooFew.pins.EnableSerial());
}

}  // namespace
}  // namespace merlinox::sim
