#include <gtest/gtest.h>

#include <functional>

#include "link/timing.h"
#include "protocols/chip_rig.h"
#include "protocols/device_check.h"
#include "protocols/hv_serial.h"

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

TEST(Par3, WritesAndReadsFlashEepromSignatureFusesAndLock) {
    for (const char* part : {"ATtiny11", "ATtiny12", "ATtiny15", "AT90S2323", "AT90S2343"}) {
        SCOPED_TRACE(part);
        ChipRig rig(part, kPar3);
        rig.ctx.settings.fuseLow = 0xFE;
        rig.ctx.settings.lockBits = 0xFC;
        rig.PowerUp();
        const sim::ChipFacts& facts = rig.chip.Facts();
        for (std::uint8_t i = 0; i < 3; ++i)
            EXPECT_EQ(HvspReadSignatureByte(rig.ctx, i), facts.signature[i]);
        const auto last = static_cast<Word>(facts.flashBytes / 2 - 1);
        for (Word w : {Word{0}, Word{0x100}, last}) Par3WriteAVRWord(rig.ctx, w, 0x0F00 | w);
        for (Word w : {Word{0}, Word{0x100}, last})
            EXPECT_EQ(Par3ReadAVRWord(rig.ctx, w), 0x0F00 | w);
        Par3WriteAVRByte(rig.ctx, 0x3F, 0x00);
        Par3WriteAVRByte(rig.ctx, 0x01, 0x5A);
        const bool eeprom = facts.eepromBytes != 0;  // the ATtiny11 has none
        EXPECT_EQ(Par3ReadAVRByte(rig.ctx, 0x3F), eeprom ? 0x00 : 0xFF);
        EXPECT_EQ(Par3ReadAVRByte(rig.ctx, 0x01), eeprom ? 0x5A : 0xFF);
        Par3WriteFuseBits(rig.ctx);
        EXPECT_EQ(rig.chip.Core().Fuse(0) & 0x01, 0);  // bit 0 programmed on every one
        Par3WriteLockBits(rig.ctx);
        EXPECT_EQ(rig.chip.Core().Lock(), 0xFC);
        EXPECT_EQ(rig.chip.Core().IgnoredWrites(), 0u);
        EXPECT_TRUE(rig.ui.shown.empty());
    }
}

// A page pass as programming composes it: load the page, write it with the last word's
// address, load no-operation; the caller then reads the last word back.
void WriteFlashPage(ChipRig& rig, Word first, Word words) {
    Par4LoadWriteFlashCommand(rig.ctx);
    for (Word w = first; w < first + words; ++w)
        Par4WriteAVRWord(rig.ctx, w, static_cast<Word>(w * 7));
    Par4StartWritePageAVRWord(rig.ctx, static_cast<Word>(first + words - 1));
    Par4LoadNoOperation(rig.ctx);
}

void WriteEepromPage(ChipRig& rig, Word first, Word bytes) {
    Par4LoadWriteEepromCommand(rig.ctx);
    for (Word a = first; a < first + bytes; ++a)
        Par4LoadPageAVRByte(rig.ctx, a, static_cast<std::uint8_t>(a ^ 0x55));
    Par4StartWritePageAVRByte(rig.ctx, static_cast<Word>(first + bytes - 1));
    Par4LoadNoOperation(rig.ctx);
}

TEST(Par4, WritesPagesAcrossBoundariesAndTheUpperEeprom) {
    for (const char* part : {"ATtiny13", "ATtiny25", "ATtiny85"}) {
        SCOPED_TRACE(part);
        ChipRig rig(part, kPar4);
        rig.PowerUp();
        const sim::ChipFacts& facts = rig.chip.Facts();
        EXPECT_EQ(HvspReadSignatureByte(rig.ctx, 2), facts.signature[2]);
        const auto page = static_cast<Word>(facts.flashPageWords);
        const auto lastPage = static_cast<Word>(facts.flashBytes / 2 - page);
        for (Word first : {Word{0}, page, lastPage}) WriteFlashPage(rig, first, page);
        for (Word w : {Word(page - 1), page, Word(lastPage + page - 1)})
            EXPECT_EQ(Par4ReadAVRWord(rig.ctx, w), static_cast<Word>(w * 7)) << w;
        EXPECT_EQ(Par4ReadAVRWord(rig.ctx, static_cast<Word>(2 * page)), 0xFFFF);

        // The upper page goes last, after reads that leave the high address byte at 0.
        const auto epage = static_cast<Word>(facts.eepromPageBytes);
        const auto lastEpage = static_cast<Word>(facts.eepromBytes - epage);
        for (Word first : {Word{0}, lastEpage}) WriteEepromPage(rig, first, epage);
        for (Word a : {Word{0}, Word(epage - 1), lastEpage, Word(lastEpage + epage - 1)})
            EXPECT_EQ(Par4ReadAVRByte(rig.ctx, a), static_cast<std::uint8_t>(a ^ 0x55)) << a;
        EXPECT_EQ(Par4ReadAVRByte(rig.ctx, epage), 0xFF);
        EXPECT_EQ(rig.chip.Core().IgnoredWrites(), 0u);
        EXPECT_TRUE(rig.ui.shown.empty());
    }
}

TEST(Par4, FusesAndLockReachTheChipWithTheAttiny85HighFuseWhole) {
    ChipRig tiny85("ATtiny85", kPar4);
    tiny85.ctx.settings.fuseLow = 0xE2;
    tiny85.ctx.settings.fuseHigh = 0xD7;  // RSTDISBL and DWEN stay unprogrammed
    tiny85.ctx.settings.lockBits = 0xFE;
    tiny85.PowerUp();
    Par4WriteFuseBits(tiny85.ctx);
    Par4WriteLockBits(tiny85.ctx);
    EXPECT_EQ(tiny85.chip.Core().Fuse(0), 0xE2);
    EXPECT_EQ(tiny85.chip.Core().Fuse(1), 0xD7);
    EXPECT_EQ(tiny85.chip.Core().Lock(), 0xFE);
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
    WriteFlashPage(par4, 0, 16);
    EXPECT_NE(Par4ReadAVRWord(par4.ctx, 15), 15 * 7);
}

TEST(HvSerial, EachOperationNamesItselfForACodeOutsideItsModeAndGoesOn) {
    using Op = std::function<void(Context&)>;
    const std::pair<const char*, Op> par3[] = {
        {"Par3WriteAVRWord", [](Context& c) { Par3WriteAVRWord(c, 0, 0); }},
        {"Par3ReadAVRWord", [](Context& c) { Par3ReadAVRWord(c, 0); }},
        {"Par3WriteAVRByte", [](Context& c) { Par3WriteAVRByte(c, 0, 0); }},
        {"Par3ReadAVRByte", [](Context& c) { Par3ReadAVRByte(c, 0); }},
        {"Par3WriteLockBits", Par3WriteLockBits},
        {"Par3WriteFuseBits", Par3WriteFuseBits}};
    const std::pair<const char*, Op> par4[] = {
        {"Par4LoadWriteFlashCommand", Par4LoadWriteFlashCommand},
        {"Par4LoadWriteEepromCommand", Par4LoadWriteEepromCommand},
        {"Par4LoadNoOperation", Par4LoadNoOperation},
        {"Par4WriteAVRWord", [](Context& c) { Par4WriteAVRWord(c, 0, 0); }},
        {"Par4StartWritePageAVRWord", [](Context& c) { Par4StartWritePageAVRWord(c, 0); }},
        {"Par3ReadAVRWord", [](Context& c) { Par4ReadAVRWord(c, 0); }},  // the PAR3 text
        {"Par4LoadPageAVRByte", [](Context& c) { Par4LoadPageAVRByte(c, 0, 0); }},
        {"Par4StartWritePageAVRByte", [](Context& c) { Par4StartWritePageAVRByte(c, 0); }},
        {"Par4ReadAVRByte", [](Context& c) { Par4ReadAVRByte(c, 0); }},
        {"Par4WriteLockBits", Par4WriteLockBits},
        {"Par4WriteFuseBits", Par4WriteFuseBits}};
    ChipRig rig("ATtiny12", kPar3);
    rig.ctx.device.flashWriteDelay = rig.ctx.device.eepromWriteDelay = 1;
    auto check = [&rig](std::uint32_t code, const char* name, const Op& op, bool listed) {
        rig.ui.shown.clear();
        rig.ClearLog();
        op(rig.ctx);
        std::vector<std::string> expected;
        if (!listed)
            expected.emplace_back(
                rig.ctx.messageBuffer.Format("Devicecode 0x%04X fehlt in %s", code, name));
        EXPECT_EQ(rig.ui.Texts(), expected);
    };
    for (std::uint32_t code : {0x9004u, 0x9005u, 0x9006u, 0x9102u, 0x9103u, 0x9007u, 0x9108u,
                               0x9206u, 0x930Bu, 0x9307u}) {
        SCOPED_TRACE(code);
        rig.ctx.device.deviceCode = code;
        for (const auto& [name, op] : par3) check(code, name, op, IsOneOf(code, kPar3Codes));
        for (const auto& [name, op] : par4) {
            check(code, name, op, IsOneOf(code, kPar4Codes));
            EXPECT_FALSE(rig.log.empty()) << name;  // the frames are sent all the same
        }
    }
    // Reads outside the PAR3 list touch no chip: 0x0000 for a word, so that it never
    // passes for an erased one, and 0xFF for a byte, as for the ATtiny11's EEPROM.
    rig.ctx.device.deviceCode = 0x9307;
    rig.ClearLog();
    EXPECT_EQ(Par3ReadAVRWord(rig.ctx, 0), 0x0000);
    EXPECT_EQ(Par3ReadAVRByte(rig.ctx, 0), 0xFF);
    rig.ctx.device.deviceCode = 0x9004;
    EXPECT_EQ(Par3ReadAVRByte(rig.ctx, 0), 0xFF);
    Par3WriteAVRByte(rig.ctx, 0, 0);
    EXPECT_TRUE(rig.log.empty());
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
