#include <gtest/gtest.h>

#include "link/timing.h"
#include "protocols/chip_rig.h"
#include "protocols/parallel.h"

namespace merlinox {
namespace {

using testing::ChipRig;

void WriteWords(ChipRig& rig, std::initializer_list<std::uint16_t> addresses) {
    ParLoadCommand(rig.ctx, 0x10);
    for (std::uint16_t a : addresses) {
        ParLoadAddress(rig.ctx, a);
        ParWriteWord(rig.ctx, static_cast<std::uint16_t>(a ^ 0x5AA5));
    }
}

std::uint16_t ReadWord(ChipRig& rig, std::uint16_t address) {
    ParLoadCommand(rig.ctx, 0x02);
    ParLoadAddress(rig.ctx, address);
    return ParReadWord(rig.ctx);
}

TEST(Parallel, WordWriteIsFifteenTransfersAndWordReadNine) {
    ChipRig rig("AT90S8515", kPar1);
    rig.PowerUp();
    rig.ctx.device.flashWriteDelay = 0;
    ParWriteWord(rig.ctx, 0x1234);
    EXPECT_EQ(rig.log.size(), 15u);
    rig.ClearLog();
    ParReadWord(rig.ctx);
    EXPECT_EQ(rig.log.size(), 9u);
}

TEST(Parallel, ProgramsFlashEepromFusesAndLockOfTheOldParts) {
    for (const char* part : {"AT90S1200", "AT90S2313", "AT90S8515", "AT90S4433"}) {
        SCOPED_TRACE(part);
        ChipRig rig(part, kPar2);
        rig.PowerUp();
        const sim::ChipFacts& facts = rig.chip.Facts();
        ParLoadCommand(rig.ctx, 0x08);
        for (std::uint8_t i = 0; i < 3; ++i) {
            ParLoadAddressLow(rig.ctx, i);
            EXPECT_EQ(ParReadByteLow(rig.ctx), facts.signature[i]);
        }
        const auto last = static_cast<std::uint16_t>(facts.flashBytes / 2 - 1);
        WriteWords(rig, {0, 0x0100, last});
        for (std::uint16_t a : {std::uint16_t{0}, std::uint16_t{0x0100}, last})
            EXPECT_EQ(ReadWord(rig, a), a ^ 0x5AA5) << a;
        EXPECT_EQ(ReadWord(rig, 1), 0xFFFF);

        const auto lastByte = static_cast<std::uint16_t>(facts.eepromBytes - 1);
        ParLoadCommand(rig.ctx, 0x11);
        ParLoadAddress(rig.ctx, lastByte);
        ParWriteByte(rig.ctx, 0x3C);
        ParLoadCommand(rig.ctx, 0x03);
        ParLoadAddress(rig.ctx, lastByte);
        EXPECT_EQ(ParReadByteLow(rig.ctx), 0x3C);

        ParLoadCommand(rig.ctx, 0x40);
        ParWriteFuseByte(rig.ctx, 0xDE);  // bit 0 (FSTRT, RCEN or CKSEL0) and SPIEN programmed
        ParLoadCommand(rig.ctx, 0x20);
        ParWriteByte(rig.ctx, 0xFD);  // Lock1
        ParLoadCommand(rig.ctx, 0x04);
        EXPECT_EQ(ParReadByteHigh(rig.ctx), 0x5E);  // bit 7 Lock1, bit 6 Lock2, bits 5, 0 the fuses
        EXPECT_EQ(rig.chip.Core().IgnoredWrites(), 0u);
    }
}

TEST(Parallel, Dip28PartsTakeTheHighAddressByteFirst) {
    ChipRig rig("AT90S4433", kPar1);
    for (const auto& [pins, bus] : {std::pair{28, std::vector<std::uint8_t>{0x12, 0x34}},
                                   std::pair{40, std::vector<std::uint8_t>{0x34, 0x12}}}) {
        rig.ctx.device.pinCount = static_cast<std::uint8_t>(pins);
        rig.ClearLog();
        ParLoadAddress(rig.ctx, 0x1234);
        std::vector<std::uint8_t> seen;
        for (const sim::LatchWrite& w : rig.log) {
            if (w.command == 0x0A) seen.push_back(w.data);
        }
        EXPECT_EQ(seen, bus) << pins;
    }
}

TEST(Parallel, TooShortADelayLosesTheHighByteAndTheReadBackShowsIt) {
    ChipRig rig("AT90S8515", kPar1);
    rig.PowerUp();
    rig.ctx.device.flashWriteDelay = 1;
    WriteWords(rig, {0x40});
    Wait100us(rig.ctx, 100);
    EXPECT_EQ(ReadWord(rig, 0x40), 0xFF00 | ((0x40 ^ 0x5AA5) & 0xFF));
}

TEST(Parallel, NoAnswerWithoutTheProgrammingVoltageOrSupply) {
    for (auto [vcc, vpp] : {std::pair{100, 0}, std::pair{0, 120}}) {
        ChipRig rig("AT90S8515", kPar1);
        rig.ctx.device.supplyVoltageCode = static_cast<std::uint8_t>(vcc);
        rig.ctx.device.programmingVoltageCode = static_cast<std::uint8_t>(vpp);
        rig.PowerUp();
        ParLoadCommand(rig.ctx, 0x08);
        ParLoadAddressLow(rig.ctx, 0);
        EXPECT_NE(ParReadByteLow(rig.ctx), 0x1E) << vcc << " " << vpp;
    }
}

}  // namespace
}  // namespace merlinox
