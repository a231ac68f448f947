#include <gtest/gtest.h>

#include "protocols/chip_rig.h"
#include "link/timing.h"
#include "protocols/hv_serial.h"

namespace merlinox {
namespace {

using testing::ChipRig;

TEST(HvspInstruction, IsSixtyOneTransfersShiftingSdiAndSiiOverElevenClocks) {
    ChipRig rig("ATtiny13", kPar4);
    HvspInstruction(rig.ctx, 0x10, 0x4C);
    EXPECT_EQ(rig.log.size(), 61u);
    // SDI and SII as they stand at each rising SCI edge.
    std::vector<int> sdi, sii;
    std::uint8_t lines = 0;
    for (const sim::LatchWrite& w : rig.log) {
        if (w.command != 0x0A) continue;
        if ((w.data & 0x03) && !(lines & 0x03)) {
            sdi.push_back((w.data >> 3) & 1);
            sii.push_back((w.data >> 4) & 1);
        }
        lines = w.data;
    }
    EXPECT_EQ(sdi, (std::vector<int>{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(sii, (std::vector<int>{0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0}));

    ChipRig slow("ATtiny15", kPar3);
    HvspInstruction(slow.ctx, 0x10, 0x4C);
    EXPECT_EQ(slow.log.size(), 61u + 11 * 30);
}

TEST(Par3, WritesAndReadsFlashEepromSignatureFusesAndLock) {
    for (const char* part : {"ATtiny12", "ATtiny15", "AT90S2343", "AT90S2323", "ATtiny11"}) {
        SCOPED_TRACE(part);
        ChipRig rig(part, kPar3);
        rig.ctx.settings.fuseLow = 0xFE;
        rig.ctx.settings.lockBits = 0xFC;
        rig.PowerUp();
        const sim::ChipFacts& facts = rig.chip.Facts();
        for (std::uint8_t i = 0; i < 3; ++i) EXPECT_EQ(HvspReadSignatureByte(rig.ctx, i), facts.signature[i]);
        const std::uint16_t last = static_cast<std::uint16_t>(facts.flashBytes / 2 - 1);
        for (std::uint16_t w : {std::uint16_t{0}, std::uint16_t{0x100}, last}) Par3WriteAVRWord(rig.ctx, w, static_cast<std::uint16_t>(0x0F00 | w));
        for (std::uint16_t w : {std::uint16_t{0}, std::uint16_t{0x100}, last}) EXPECT_EQ(Par3ReadAVRWord(rig.ctx, w), 0x0F00 | w);
        Par3WriteAVRByte(rig.ctx, 0x3F, 0x00);
        Par3WriteAVRByte(rig.ctx, 0x01, 0x5A);
        EXPECT_EQ(Par3ReadAVRByte(rig.ctx, 0x3F), facts.eepromBytes != 0 ? 0x00 : 0xFF);
        EXPECT_EQ(Par3ReadAVRByte(rig.ctx, 0x01), facts.eepromBytes != 0 ? 0x5A : 0xFF);
        Par3WriteFuseBits(rig.ctx);
        EXPECT_EQ(rig.chip.Core().Fuse(0) & 0x01, 0);  // bit 0 programmed on every one of them
        Par3WriteLockBits(rig.ctx);
        EXPECT_EQ(rig.chip.Core().Lock(), 0xFC);
        EXPECT_EQ(rig.chip.Core().IgnoredWrites(), 0u);
        EXPECT_TRUE(rig.ui.shown.empty());
    }
}

TEST(Par3, TooShortADelayLosesTheHighByteAndTheReadBackShowsIt) {
    ChipRig rig("ATtiny12", kPar3);
    rig.PowerUp();
    rig.ctx.device.flashWriteDelay = 1;
    Par3WriteAVRWord(rig.ctx, 0x20, 0xBEEF);
    EXPECT_NE(Par3ReadAVRWord(rig.ctx, 0x20), 0xBEEF);  // the read-back right after
    Wait100us(rig.ctx, 100);
    EXPECT_EQ(Par3ReadAVRWord(rig.ctx, 0x20), 0xFFEF);
}

TEST(Par3, UnknownDeviceCodeIsNamedAndReadsNoChip) {
    ChipRig rig("ATtiny12", kPar3);
    rig.PowerUp();
    rig.ctx.device.deviceCode = 0x9307;
    EXPECT_EQ(Par3ReadAVRWord(rig.ctx, 0), 0x0000);
    EXPECT_EQ(Par3ReadAVRByte(rig.ctx, 0), 0xFF);
    EXPECT_TRUE(rig.log.empty());
    Par4ReadAVRWord(rig.ctx, 0);
    EXPECT_EQ(rig.ui.Texts(), (std::vector<std::string>{"Devicecode 0x9307 fehlt in Par3ReadAVRWord",
                                                         "Devicecode 0x9307 fehlt in Par3ReadAVRByte",
                                                         "Devicecode 0x9307 fehlt in Par3ReadAVRWord"}));
}

// The page passes as programming composes them: load the page, write it with the last
// word's address, load no-operation, read the last word back.
void WriteFlashPage(ChipRig& rig, std::uint16_t first, std::uint16_t words) {
    Par4LoadWriteFlashCommand(rig.ctx);
    for (std::uint16_t w = first; w < first + words; ++w) Par4WriteAVRWord(rig.ctx, w, static_cast<std::uint16_t>(w * 7));
    Par4StartWritePageAVRWord(rig.ctx, static_cast<std::uint16_t>(first + words - 1));
    Par4LoadNoOperation(rig.ctx);
}

void WriteEepromPage(ChipRig& rig, std::uint16_t first, std::uint16_t bytes) {
    Par4LoadWriteEepromCommand(rig.ctx);
    for (std::uint16_t a = first; a < first + bytes; ++a) Par4LoadPageAVRByte(rig.ctx, a, static_cast<std::uint8_t>(a ^ 0x55));
    Par4StartWritePageAVRByte(rig.ctx, static_cast<std::uint16_t>(first + bytes - 1));
    Par4LoadNoOperation(rig.ctx);
}

TEST(Par4, WritesPagesAcrossBoundariesAndTheUpperEeprom) {
    for (const char* part : {"ATtiny13", "ATtiny25", "ATtiny85"}) {
        SCOPED_TRACE(part);
        ChipRig rig(part, kPar4);
        rig.PowerUp();
        const sim::ChipFacts& facts = rig.chip.Facts();
        const auto page = static_cast<std::uint16_t>(facts.flashPageWords);
        const auto lastPage = static_cast<std::uint16_t>(facts.flashBytes / 2 - page);
        for (std::uint16_t first : {std::uint16_t{0}, page, lastPage}) WriteFlashPage(rig, first, page);
        for (std::uint16_t w : {std::uint16_t(page - 1), page, std::uint16_t(lastPage + page - 1)})
            EXPECT_EQ(Par4ReadAVRWord(rig.ctx, w), static_cast<std::uint16_t>(w * 7)) << w;
        EXPECT_EQ(Par4ReadAVRWord(rig.ctx, static_cast<std::uint16_t>(2 * page)), 0xFFFF);

        const auto epage = static_cast<std::uint16_t>(facts.eepromPageBytes);
        const auto lastEpage = static_cast<std::uint16_t>(facts.eepromBytes - epage);
        for (std::uint16_t first : {std::uint16_t{0}, lastEpage}) WriteEepromPage(rig, first, epage);
        for (std::uint16_t a : {std::uint16_t{0}, std::uint16_t(epage - 1), lastEpage, std::uint16_t(lastEpage + epage - 1)})
            EXPECT_EQ(Par4ReadAVRByte(rig.ctx, a), static_cast<std::uint8_t>(a ^ 0x55)) << a;
        EXPECT_EQ(Par4ReadAVRByte(rig.ctx, epage), 0xFF);
        EXPECT_EQ(rig.chip.Core().IgnoredWrites(), 0u);
        EXPECT_TRUE(rig.ui.shown.empty());
    }
}

TEST(Par4, FusesAndLockReachTheChip) {
    ChipRig tiny85("ATtiny85", kPar4);
    tiny85.ctx.settings.fuseLow = 0xE2;
    tiny85.ctx.settings.fuseHigh = 0xD7;  // EESAVE programmed, SPIEN programmed, rest not
    tiny85.ctx.settings.lockBits = 0xFE;
    tiny85.PowerUp();
    Par4WriteFuseBits(tiny85.ctx);
    Par4WriteLockBits(tiny85.ctx);
    EXPECT_EQ(tiny85.chip.Core().Fuse(0), 0xE2);
    EXPECT_EQ(tiny85.chip.Core().Fuse(1), 0xD7);
    EXPECT_EQ(tiny85.chip.Core().Lock(), 0xFE);

    ChipRig tiny13("ATtiny13", kPar4);
    tiny13.ctx.settings.fuseHigh = 0xFB;
    tiny13.PowerUp();
    Par4WriteFuseBits(tiny13.ctx);
    EXPECT_EQ(tiny13.chip.Core().Fuse(1), 0xFB);  // five bits written, three absent
}

TEST(HvSerial, NoAnswerWithoutSupplyOrWithTheWrongProgrammingVoltage) {
    for (auto [vcc, vpp] : {std::pair{0, 120}, std::pair{100, 100}, std::pair{100, 135}}) {
        ChipRig rig("ATtiny13", kPar4);
        rig.ctx.device.supplyVoltageCode = static_cast<std::uint8_t>(vcc);
        rig.ctx.device.programmingVoltageCode = static_cast<std::uint8_t>(vpp);
        rig.PowerUp();
        EXPECT_NE(HvspReadSignatureByte(rig.ctx, 1), 0x90) << vcc << " " << vpp;
        EXPECT_NE(rig.chip.Mode(), sim::ChipMode::kHvSerial);
    }
}

}  // namespace
}  // namespace merlinox
