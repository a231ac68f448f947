#include "protocols/spi.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/latch_bits.h"
#include "link/latch_ops.h"
#include "link/timing.h"
#include "link/transport.h"
#include "protocols/chip_rig.h"

namespace merlinox {
namespace {

using testing::ChipRig;

TEST(SpiBytes, CostTwentyFourTransfersSentAndThirtyThreeReceivedPlusTwoPerXtal1Pulse) {
    ChipRig rig("ATmega8", kSpi2);
    SpiSendByte(rig.ctx, 0xA5);
    std::vector<int> mosi;
    for (std::size_t i = 0; i < rig.log.size(); i += 3) mosi.push_back((rig.log[i].data >> 3) & 1);
    EXPECT_EQ(rig.log.size(), 24u);
    EXPECT_EQ(mosi, (std::vector<int>{1, 0, 1, 0, 0, 1, 0, 1}));
    rig.ClearLog();
    SpiReceiveByte(rig.ctx);
    EXPECT_EQ(rig.log.size(), 33u);

    rig.ctx.device.sckHighClocks = 4;  // one count 0: no pulses at all
    rig.ClearLog();
    SpiSendByte(rig.ctx, 0x00);
    EXPECT_EQ(rig.log.size(), 24u);
    rig.ctx.device.sckLowClocks = 3;
    rig.ClearLog();
    SpiSendByte(rig.ctx, 0x00);
    EXPECT_EQ(rig.log.size(), 24u + 8 * 2 * (4 + 3));
}

// Each attempt reads MISO eight times, and each read re-sends the power latch once.
std::size_t Attempts(const ChipRig& rig) {
    return std::count_if(rig.log.begin(), rig.log.end(),
                         [](const sim::LatchWrite& w) { return w.command == CmdPower; }) /
           8;
}

TEST(SpiSync, EntersProgrammingModeOrGivesUpAfterSixtyFourOrTenAttempts) {
    for (std::uint32_t mode : {0u, 1u}) {
        for (std::uint8_t vcc : {100, 0}) {
            SCOPED_TRACE(::testing::Message() << mode << " " << int{vcc});
            ChipRig rig("ATmega8", kSpi1);
            rig.ctx.device.spiSyncMode = mode;
            rig.ctx.device.supplyVoltageCode = vcc;
            rig.PowerUp();  // PowerOn ends with the synchronisation
            EXPECT_EQ(rig.chip.SerialEnabled(), vcc != 0);
            const std::vector<std::string> failed{"SPISync fehlgeschlagen !"};
            EXPECT_EQ(rig.ui.Texts(), vcc != 0 ? std::vector<std::string>{} : failed);
            rig.ui.shown.clear();
            EXPECT_EQ(SPISync(rig.ctx), vcc != 0 ? 0 : 7);
            EXPECT_EQ(Attempts(rig), vcc != 0 ? 1u : (mode == 1 ? 64u : 10u));
        }
    }
}

TEST(SpiSync, WalksAnOutOfStepChipRoundWithSckPulsesOrResetPulses) {
    for (std::uint32_t mode : {0u, 1u}) {
        ChipRig rig("AT90S2313", kSpi2);
        rig.ctx.device.spiSyncMode = mode;
        rig.ctx.link.spiSync = nullptr;
        BoardInit(rig.ctx);
        PowerOn(rig.ctx);
        SpiSendByte(rig.ctx, 0x00);  // nine stray clocks
        SetDataBit(rig.ctx, bits::kDataSck, true);
        SetDataBit(rig.ctx, bits::kDataSck, false);
        rig.ClearLog();
        EXPECT_EQ(SPISync(rig.ctx), 0) << mode;
        EXPECT_TRUE(rig.chip.SerialEnabled()) << mode;
        EXPECT_GT(Attempts(rig), 1u) << mode;  // the chip was out of step
    }
}

TEST(SpiSync, At90s1200IsNeverAskedForAnEcho) {
    ChipRig rig("AT90S1200", kSpi2);
    rig.PowerUp();
    EXPECT_TRUE(rig.chip.SerialEnabled());
    EXPECT_EQ(SPISync(rig.ctx), 0);
    for (const sim::LatchWrite& w : rig.log) EXPECT_NE(w.command, 0x08);  // no read-back at all
}

// A clocked chip takes an SCK level only after two XTAL1 edges have seen it.
TEST(SpiSync, Xtal1ClockedChipAnswersOnlyWithBothCountsOfTwoOrMore) {
    sim::ChipOptions options;
    options.spiClocking.xtal1Clocked = true;
    for (auto [high, low] : {std::pair{4u, 4u}, std::pair{4u, 0u}, std::pair{1u, 1u}}) {
        ChipRig rig("AT90S2343", kSpi1, options);
        rig.ctx.device.spiSyncMode = 1;
        rig.ctx.device.sckHighClocks = high;
        rig.ctx.device.sckLowClocks = low;
        rig.PowerUp();
        const bool answers = high >= 2 && low >= 2;
        EXPECT_EQ(rig.chip.SerialEnabled(), answers) << high << " " << low;
        EXPECT_EQ(SpiReadSignatureByte(rig.ctx, 2), answers ? 0x03 : 0x00) << high << " " << low;
    }
}

TEST(SpiPages, LastWordOfA256KPartGoesThroughTheExtendedAddress) {
    ChipRig rig("ATmega2560", kMspi2);
    rig.PowerUp();
    const std::uint32_t last = 0x1FFFF;
    auto data = [](std::uint32_t w) { return static_cast<std::uint16_t>(w ^ 0xA5A5); };
    for (std::uint32_t w = last - 127; w <= last; ++w) SpiLoadPageAVRWord(rig.ctx, w, data(w));
    SpiWritePageAVRWord(rig.ctx, last);
    Wait100us(rig.ctx, rig.ctx.device.flashWriteDelay);
    EXPECT_EQ(rig.FlashWord(last), data(last));
    EXPECT_EQ(rig.FlashWord(0xFFFF), 0xFFFF);  // not the lower half
    EXPECT_EQ(SpiReadAVRWord(rig.ctx, last - 127), data(last - 127));
}

TEST(SpiPages, TooShortADelayLosesTheFirstWordsOfTheNextPage) {
    // Loading a page takes longer than writing one, so the page's last word, which the
    // page pass compares, survives; the loss shows at the page's start.
    ChipRig rig("ATmega8", kMspi2);
    rig.PowerUp();
    rig.ctx.device.flashWriteDelay = 5;
    for (std::uint32_t page : {0u, 1u}) {
        for (std::uint32_t w = page * 32; w < page * 32 + 32; ++w)
            SpiLoadPageAVRWord(rig.ctx, w, 0x1234);
        SpiWritePageAVRWord(rig.ctx, page * 32 + 31);
        Wait100us(rig.ctx, rig.ctx.device.flashWriteDelay);
    }
    Wait100us(rig.ctx, 100);
    EXPECT_EQ(SpiReadAVRWord(rig.ctx, 31), 0x1234);
    EXPECT_NE(SpiReadAVRWord(rig.ctx, 32), 0x1234);
    EXPECT_EQ(SpiReadAVRWord(rig.ctx, 63), 0x1234);
}

TEST(SpiLockAndFuses, OldFormsCarryTheFuseBitsInTheSecondByte) {
    ChipRig s2333("AT90S2333", kSpi2);
    s2333.PowerUp();
    SpiWriteFuseBits(s2333.ctx, {.low = 0xF5});  // CKSEL1 and BODLEVEL programmed
    EXPECT_EQ(s2333.chip.Core().Fuse(0), 0xD5);  // SPIEN (bit 5) stays programmed

    ChipRig s2343("AT90S2343", kSpi2);  // RCEN in bit 0; fuseD0 0 writes nothing
    s2343.PowerUp();
    for (auto [fuseD0, fuseLow, fuse] : {std::tuple{1u, 0xFE, 0xDE}, std::tuple{0u, 0xFF, 0xDE},
                                         std::tuple{2u, 0xFF, 0xDF}, std::tuple{1u, 0xFF, 0xDF}}) {
        s2343.ctx.device.fuseD0 = fuseD0;
        SpiWriteFuseBits(s2343.ctx, {.low = static_cast<std::uint8_t>(fuseLow)});
        EXPECT_EQ(s2343.chip.Core().Fuse(0), fuse) << fuseD0 << " " << fuseLow;
    }
}

// The old and new forms by device code, against every serial part: the lock bits reach
// the chip, and fuses written with the values the chip holds stay as they are.
TEST(SpiLockAndFuses, EveryPartTakesItsLockBitsAndTheFusesItIsGiven) {
    for (const sim::ChipFacts& facts : sim::ChipCatalogue()) {
        if (!facts.isp) continue;
        SCOPED_TRACE(facts.part);
        ChipRig rig(facts.part, kSpi1);
        const sim::ChipCore& core = rig.chip.Core();
        const std::uint8_t fuses[3] = {core.Fuse(0), core.Fuse(1), core.Fuse(2)};
        rig.PowerUp();
        SpiWriteFuseBits(rig.ctx, {fuses[0], fuses[1], fuses[2]});
        SpiWriteLockBits(rig.ctx, 0xFC);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(core.Fuse(i), fuses[i]) << i;
        EXPECT_EQ(core.Lock() & 0x03, 0);
    }
}

}  // namespace
}  // namespace merlinox
