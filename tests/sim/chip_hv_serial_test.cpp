// High-voltage serial programming, frame by frame as in the datasheets' "High-voltage
// Serial Programming Instruction Set" tables (SDI, SII pairs).
#include <gtest/gtest.h>

#include "sim/chip_model.h"
#include "sim/chip_pins.h"

namespace merlinox::sim {
namespace {

using testing::ChipPins;

struct HvChip {
    explicit HvChip(const char* part, std::uint32_t vpp = 12000)
        : chip(*FindChipByName(part)), pins(chip) {
        pins.sciPerBit = chip.Core().Traits().hvspClocksPerBit;
        pins.PowerHv(vpp);
    }
    std::uint8_t Read(std::uint8_t command, std::uint16_t address, std::uint8_t oeSii, std::uint8_t doneSii) {
        pins.HvFrame(command, 0x4C);
        pins.HvFrame(static_cast<std::uint8_t>(address), 0x0C);
        pins.HvFrame(static_cast<std::uint8_t>(address >> 8), 0x1C);
        pins.HvFrame(0x00, oeSii);
        return pins.HvFrame(0x00, doneSii);
    }
    std::uint8_t Signature(std::uint8_t i) { return Read(0x08, i, 0x68, 0x6C); }
    void WaitReady() {
        for (int i = 0; i < 2000 && !pins.Sdo(); ++i) pins.WaitUs(100);
    }
    SimulatedChip chip;
    ChipPins pins;
};

TEST(ChipHvSerial, ReadsTheSignatureOfEveryHvspPart) {
    for (const ChipFacts& facts : ChipCatalogue()) {
        if (!facts.hvsp) continue;
        HvChip hv(facts.part);
        EXPECT_EQ(hv.chip.Mode(), ChipMode::kHvSerial) << facts.part;
        EXPECT_TRUE(hv.pins.Sdo()) << facts.part;  // ready between frames
        for (std::uint8_t i = 0; i < 3; ++i) EXPECT_EQ(hv.Signature(i), facts.signature[i]) << facts.part;
    }
}

TEST(ChipHvSerial, NoAnswerWithoutTheProgrammingVoltage) {
    for (std::uint32_t vpp : {0u, 5000u, 11000u, 13000u}) {
        HvChip hv("ATtiny13", vpp);
        EXPECT_FALSE(hv.pins.Drives(ChipPins::kSdo)) << vpp;
        EXPECT_NE(hv.Signature(1), 0x90) << vpp;
    }
}

TEST(ChipHvSerial, PagedPartLoadsThePageBufferAndSignalsBusyOnSdo) {
    HvChip hv("ATtiny13");  // 16-word pages
    hv.pins.HvFrame(0x10, 0x4C);
    for (std::uint8_t i = 0; i < 16; ++i) {
        hv.pins.HvFrame(static_cast<std::uint8_t>(0x10 + i), 0x0C);
        hv.pins.HvFrame(i, 0x2C);
        hv.pins.HvFrame(0xB0, 0x3C);
        hv.pins.HvFrame(0x00, 0x7D);
        hv.pins.HvFrame(0x00, 0x7C);
    }
    hv.pins.HvFrame(0x00, 0x1C);
    hv.pins.HvFrame(0x00, 0x64);
    hv.pins.HvFrame(0x00, 0x6C);
    EXPECT_FALSE(hv.pins.Sdo());
    hv.pins.WaitUs(4500);
    EXPECT_TRUE(hv.pins.Sdo());
    EXPECT_EQ(hv.Read(0x02, 0x1F, 0x68, 0x6C), 0x0F);
    EXPECT_EQ(hv.pins.HvFrame(0x00, 0x78), 0x00);
    EXPECT_EQ(hv.pins.HvFrame(0x00, 0x7C), 0xB0);
    EXPECT_EQ(hv.Read(0x02, 0x0F, 0x68, 0x6C), 0xFF);
}

TEST(ChipHvSerial, OldPartWritesByteWiseAndDropsWritesWhileBusy) {
    HvChip hv("ATtiny12");
    auto writeByte = [&](std::uint16_t word, std::uint8_t value, bool high) {
        hv.pins.HvFrame(0x10, 0x4C);
        hv.pins.HvFrame(static_cast<std::uint8_t>(word >> 8), 0x1C);
        hv.pins.HvFrame(static_cast<std::uint8_t>(word), 0x0C);
        hv.pins.HvFrame(value, high ? 0x3C : 0x2C);
        hv.pins.HvFrame(0x00, high ? 0x74 : 0x64);
        hv.pins.HvFrame(0x00, high ? 0x7C : 0x6C);
    };
    writeByte(0x123, 0x34, false);
    writeByte(0x123, 0x12, true);  // the chip is still writing the low byte
    hv.WaitReady();
    EXPECT_EQ(hv.Read(0x02, 0x123, 0x68, 0x6C), 0x34);
    EXPECT_EQ(hv.Read(0x02, 0x123, 0x78, 0x7C), 0xFF);
    writeByte(0x123, 0x12, true);
    hv.WaitReady();
    EXPECT_EQ(hv.Read(0x02, 0x123, 0x78, 0x7C), 0x12);
}

TEST(ChipHvSerial, FusesLockAndChipErase) {
    HvChip tiny25("ATtiny25");
    tiny25.pins.HvFrame(0x40, 0x4C);
    tiny25.pins.HvFrame(0xE2, 0x2C);
    tiny25.pins.HvFrame(0x00, 0x74);  // BS1: high fuse
    tiny25.pins.HvFrame(0x00, 0x7C);
    tiny25.WaitReady();
    tiny25.pins.HvFrame(0x20, 0x4C);
    tiny25.pins.HvFrame(0xFC, 0x2C);
    tiny25.pins.HvFrame(0x00, 0x64);
    tiny25.pins.HvFrame(0x00, 0x6C);
    tiny25.WaitReady();
    tiny25.pins.HvFrame(0x04, 0x4C);
    tiny25.pins.HvFrame(0x00, 0x7A);
    EXPECT_EQ(tiny25.pins.HvFrame(0x00, 0x7E), 0xE2);  // high fuse (BS1 and BS2)
    tiny25.pins.HvFrame(0x00, 0x78);
    EXPECT_EQ(tiny25.pins.HvFrame(0x00, 0x7C), 0xFC);  // lock
    EXPECT_EQ(tiny25.Read(0x02, 0, 0x68, 0x6C), kHiddenByte);

    tiny25.pins.HvFrame(0x80, 0x4C);
    tiny25.pins.HvFrame(0x00, 0x64);
    tiny25.pins.HvFrame(0x00, 0x6C);
    EXPECT_FALSE(tiny25.pins.Sdo());
    tiny25.WaitReady();
    EXPECT_EQ(tiny25.chip.Core().Lock(), 0xFF);

    // The old parts take LB1 and LB2 in data bits 1 and 2.
    HvChip tiny12("ATtiny12");
    tiny12.pins.HvFrame(0x20, 0x4C);
    tiny12.pins.HvFrame(0x04, 0x2C);  // LB1 programmed
    tiny12.pins.HvFrame(0x00, 0x64);
    tiny12.pins.HvFrame(0x00, 0x6C);
    tiny12.WaitReady();
    EXPECT_EQ(tiny12.chip.Core().Lock(), 0xFE);
}

TEST(ChipHvSerial, Attiny15NeedsSixteenSciPeriodsPerBit) {
    HvChip tiny15("ATtiny15");
    EXPECT_EQ(tiny15.Signature(2), 0x06);
    HvChip wrong("ATtiny15");
    wrong.pins.sciPerBit = 1;
    EXPECT_NE(wrong.Signature(2), 0x06);
}

}  // namespace
}  // namespace merlinox::sim
