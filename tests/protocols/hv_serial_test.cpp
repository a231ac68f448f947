#include "protocols/hv_serial.h"

#include <gtest/gtest.h>

#include "link/timing.h"
#include "protocols/chip_rig.h"

namespace merlinox {
namespace {

using testing::ChipRig;
using Word = std::uint16_t;

TEST(HvspInstruction, IsSixtyOneTransfersShiftingSdiAndSiiOverElevenClocks) {
    ChipRig rig("ATtiny13", kPar4);
    HvspInstruction(rig.ctx, 0x10, 0x4C);
    EXPECT_EQ(rig.log.size(), 61u);
    std::vector<int> sdi, sii;  // as they stand at each rising SCI edge
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

// The flash word, fuse and lock bit layouts differ by device code; the read-out and
// scenario tests program the ATtiny12's flash and EEPROM.
TEST(Par3, WritesFlashFusesAndLockOfEveryPart) {
    for (const char* part : {"ATtiny11", "ATtiny12", "ATtiny15", "AT90S2323", "AT90S2343"}) {
        SCOPED_TRACE(part);
        ChipRig rig(part, kPar3);
        rig.PowerUp();
        const auto last = static_cast<Word>(rig.chip.Facts().flashBytes / 2 - 1);
        for (Word w : {Word{0}, last}) Par3WriteAVRWord(rig.ctx, w, 0x0F00 | w);
        for (Word w : {Word{0}, last}) EXPECT_EQ(Par3ReadAVRWord(rig.ctx, w), 0x0F00 | w);
        Par3WriteFuseBits(rig.ctx, 0xFE);
        EXPECT_EQ(rig.chip.Core().Fuse(0) & 0x01, 0);  // bit 0 programmed on every one
        Par3WriteLockBits(rig.ctx, 0xFC);
        EXPECT_EQ(rig.chip.Core().Lock(), 0xFC);
        EXPECT_EQ(rig.chip.Core().IgnoredWrites(), 0u);
        EXPECT_TRUE(rig.ui.shown.empty());
    }
}

TEST(HvSerial, TooShortADelayIsCaughtByTheReadBack) {
    ChipRig par3("ATtiny12", kPar3);
    par3.PowerUp();
    par3.ctx.device.flashWriteDelay = 1;
    Par3WriteAVRWord(par3.ctx, 0x20, 0xBEEF);
    EXPECT_NE(Par3ReadAVRWord(par3.ctx, 0x20), 0xBEEF);
    Wait100us(par3.ctx, 100);
    EXPECT_EQ(Par3ReadAVRWord(par3.ctx, 0x20), 0xFFEF);  // the high byte is lost

    ChipRig par4("ATtiny13", kPar4);
    par4.PowerUp();
    par4.ctx.device.flashWriteDelay = 1;
    // A page pass as programming composes it; it then reads the page's last word back.
    Par4LoadWriteFlashCommand(par4.ctx);
    for (Word w = 0; w < 16; ++w) Par4WriteAVRWord(par4.ctx, w, 0x1234);
    Par4StartWritePageAVRWord(par4.ctx, 15);
    Par4LoadNoOperation(par4.ctx);
    EXPECT_NE(Par4ReadAVRWord(par4.ctx, 15), 0x1234);
}

// A code outside the mode's list: the operation names itself and sends its frames all
// the same. Reads outside the PAR3 list touch no chip: 0x0000 for a word, so that it
// never passes for an erased one, and 0xFF for a byte, as for the ATtiny11's EEPROM.
TEST(HvSerial, OperationsNameThemselvesForACodeOutsideTheirModeAndGoOn) {
    ChipRig rig("ATtiny12", kPar3);
    rig.ctx.device.flashWriteDelay = 1;
    rig.ctx.device.deviceCode = 0x9307;  // an ATmega8
    Par3WriteAVRWord(rig.ctx, 0, 0);
    Par4WriteAVRWord(rig.ctx, 0, 0);
    Par4ReadAVRWord(rig.ctx, 0);
    EXPECT_FALSE(rig.log.empty());
    rig.ClearLog();
    EXPECT_EQ(Par3ReadAVRWord(rig.ctx, 0), 0x0000);
    EXPECT_EQ(Par3ReadAVRByte(rig.ctx, 0), 0xFF);
    EXPECT_TRUE(rig.log.empty());
    EXPECT_EQ(rig.ui.Texts(), (std::vector<std::string>{
                                  "Devicecode 0x9307 fehlt in Par3WriteAVRWord",
                                  "Devicecode 0x9307 fehlt in Par4WriteAVRWord",
                                  "Devicecode 0x9307 fehlt in Par3ReadAVRWord",  // PAR4's read
                                  "Devicecode 0x9307 fehlt in Par3ReadAVRWord",
                                  "Devicecode 0x9307 fehlt in Par3ReadAVRByte"}));
    rig.ui.shown.clear();
    rig.ctx.device.deviceCode = 0x9004;  // the ATtiny11, without EEPROM
    EXPECT_EQ(Par3ReadAVRByte(rig.ctx, 0), 0xFF);
    Par3WriteAVRByte(rig.ctx, 0, 0);
    EXPECT_TRUE(rig.log.empty());
    EXPECT_TRUE(rig.ui.shown.empty());
}

TEST(HvSerial, NoAnswerWithoutSupplyOrWithTheWrongProgrammingVoltage) {
    // Codes in 50 mV (supply) and 100 mV (programming voltage) steps.
    for (auto [vcc, vpp] : {std::pair{0, 120}, std::pair{100, 110}, std::pair{100, 130}}) {
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
