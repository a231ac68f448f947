// High-voltage serial programming, frame by frame as in the datasheets' "High-voltage
// Serial Programming Instruction Set" tables (SDI, SII pairs).
#include <gtest/gtest.h>

#include "sim/chip_model.h"
#include "sim/chip_pins.h"

namespace merlinox::sim {
namespace {

struct HvChip {
    explicit HvChip(const char* part) : chip(*FindChipByName(part)), pins(chip) {
        pins.sciPerBit = chip.Core().Traits().hvspClocksPerBit;
        pins.PowerHv();
    }
    // Frames given as (SDI, SII) pairs; returns what the last one shifted out.
    std::uint8_t Frames(std::initializer_list<std::pair<int, int>> frames) {
        std::uint8_t out = 0;
        for (auto [sdi, sii] : frames)
            out = pins.HvFrame(static_cast<std::uint8_t>(sdi), static_cast<std::uint8_t>(sii));
        return out;
    }
    std::uint8_t Read(int command, int address, int oe, int done) {
        return Frames({{command, 0x4C}, {address & 0xFF, 0x0C}, {address >> 8, 0x1C}, {0, oe},
                       {0, done}});
    }
    void WaitReady() {
        for (int i = 0; i < 2000 && !pins.Sdo(); ++i) pins.WaitUs(100);
    }
    SimulatedChip chip;
    testing::ChipPins pins;
};

TEST(ChipHvSerial, EveryHvspPartGivesItsSignatureOnlyWithSdiAndSiiSetBeforeTheEdge) {
    for (const ChipFacts& facts : ChipCatalogue()) {
        if (!facts.hvsp) continue;
        SCOPED_TRACE(facts.part);
        HvChip hv(facts.part);
        EXPECT_EQ(hv.chip.Mode(), ChipMode::kHvSerial);
        EXPECT_TRUE(hv.pins.Sdo());  // ready between frames
        for (int i = 0; i < 3; ++i) EXPECT_EQ(hv.Read(0x08, i, 0x68, 0x6C), facts.signature[i]);
        hv.pins.dataWithClock = true;
        EXPECT_NE(hv.Read(0x08, 1, 0x68, 0x6C), facts.signature[1]);
    }
    HvChip tiny15("ATtiny15");  // counts 16 SCI periods per bit
    tiny15.pins.sciPerBit = 1;
    EXPECT_NE(tiny15.Read(0x08, 2, 0x68, 0x6C), 0x06);
}

// Dropping writes while busy shows through the protocol tests; here the latches.
TEST(ChipHvSerial, Attiny12LoadsTheHighFlashByteIntoALatchOfItsOwn) {
    HvChip hv("ATtiny12");
    for (const int loadSii : {0x2C, 0x3C}) {
        hv.Frames(
            {{0x10, 0x4C}, {0x01, 0x1C}, {0x23, 0x0C}, {0x56, loadSii}, {0, 0x74}, {0, 0x7C}});
        hv.WaitReady();
        EXPECT_EQ(hv.Read(0x02, 0x123, 0x78, 0x7C), loadSii == 0x3C ? 0x56 : 0xFF) << loadSii;
    }
}

TEST(ChipHvSerial, FusesLockAndChipErase) {
    HvChip tiny25("ATtiny25");
    tiny25.Frames({{0x40, 0x4C}, {0xE2, 0x2C}, {0, 0x74}, {0, 0x7C}});  // BS1: high fuse
    tiny25.WaitReady();
    tiny25.Frames({{0x20, 0x4C}, {0xFC, 0x2C}, {0, 0x64}, {0, 0x6C}});
    tiny25.WaitReady();
    EXPECT_EQ(tiny25.Frames({{0x04, 0x4C}, {0, 0x7A}, {0, 0x7E}}), 0xE2);  // BS1 and BS2
    EXPECT_EQ(tiny25.Frames({{0, 0x78}, {0, 0x7C}}), 0xFC);
    EXPECT_EQ(tiny25.Read(0x02, 0, 0x68, 0x6C), kHiddenByte);
    tiny25.Frames({{0x80, 0x4C}, {0, 0x64}, {0, 0x6C}});
    EXPECT_FALSE(tiny25.pins.Sdo());
    tiny25.WaitReady();
    EXPECT_EQ(tiny25.chip.Core().Lock(), 0xFF);

    HvChip tiny12("ATtiny12");  // LB1 and LB2 in data bits 1 and 2
    tiny12.Frames({{0x20, 0x4C}, {0x04, 0x2C}, {0, 0x64}, {0, 0x6C}});
    tiny12.WaitReady();
    EXPECT_EQ(tiny12.chip.Core().Lock(), 0xFE);
}

}  // namespace
}  // namespace merlinox::sim
