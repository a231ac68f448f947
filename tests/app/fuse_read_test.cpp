#include "operations/fuse_read.h"

#include <gtest/gtest.h>

#include <string>

#include "core/control_ids.h"
#include "support/operation_rig.h"

namespace merlinox::testing {
namespace {

constexpr int kUnread = -1;

struct ReadCase {
    const char* device;
    std::uint8_t chipFuses[3];
    std::uint8_t chipLock;
    int expected[4];  // lock, low, high, ext; kUnread where the read has no byte
};

// The old parts answer in their own layouts (AT90S2323/2343/4434/8535 one combined byte,
// ATtiny12 and AT90S4433 the lock bits in bits 1 and 2), which arrive in the panel's.
const ReadCase kCases[] = {
    {"ATmega8 (ISP)", {0xE4, 0xC9, 0xFF}, 0xFC, {0xFC, 0xE4, 0xC9, kUnread}},
    {"ATmega2560 (ISP)", {0x62, 0xD8, 0xFD}, 0xEF, {0xEF, 0x62, 0xD8, 0xFD}},
    {"ATtiny85 (HV seriell)", {0x62, 0x5F, 0xFE}, 0xFE, {0xFE, 0x62, 0x5F, 0xFE}},
    {"ATtiny12 (SPI Sockel 1)", {0x52, 0xFF, 0xFF}, 0xFE, {0xFE, 0x52, kUnread, kUnread}},
    {"ATtiny12 (HV seriell)", {0x52, 0xFF, 0xFF}, 0xFC, {0xFC, 0x52, kUnread, kUnread}},
    {"AT90S4433 (ISP)", {0xDA, 0xFF, 0xFF}, 0xFD, {0xFD, 0xDA, kUnread, kUnread}},
    {"AT90S2343 (HV seriell)", {0xFE, 0xFF, 0xFF}, 0xFC, {0xFC, 0xFE, kUnread, kUnread}},
    {"AT90S8535 (parallel)", {0xDF, 0xFF, 0xFF}, 0xFD, {0xFD, 0xDF, kUnread, kUnread}},
};

TEST(FuseRead, EveryModeReadsTheBytesTheChipHolds) {
    for (const ReadCase& c : kCases) {
        SCOPED_TRACE(c.device);
        OperationRig rig(c.device);
        for (int i = 0; i < 3; ++i) rig.Contents().fuses[i] = c.chipFuses[i];
        rig.Contents().lock = c.chipLock;
        rig.ui.Answer(kIdOk);
        ASSERT_EQ(rig.handlers.OnReadFusesButton(false), 0)
            << ::testing::PrintToString(rig.Messages());
        const ChipFuseBytes& got = rig.handlers.ChipFuses();
        for (std::size_t b = 0; b < 4; ++b) {
            EXPECT_EQ(got.read[b] ? got.value[b] : kUnread, c.expected[b]) << "byte " << b;
        }
        EXPECT_TRUE(rig.ControlsUnlocked());
    }
}

TEST(FuseRead, PartsWithoutAReadSayWhyAndLeaveTheSettings) {
    OperationRig rig("AT90S2313 (ISP)");
    const std::uint8_t lock = rig.ctx.settings.lockBits;
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnReadFusesButton(), 7);
    EXPECT_TRUE(
        rig.Showed("Fuses und Lock Bits von AT90S2313 (ISP)\n"
                   "lassen sich im Modus SPI nicht lesen !"))
        << ::testing::PrintToString(rig.Messages());
    EXPECT_EQ(rig.ctx.settings.lockBits, lock);
}

// Kept, the bytes become the settings and the panel's boxes; the next programming then
// writes back what was there (a read without keeping is the command line's test).
TEST(FuseRead, KeptBytesAreWhatTheNextProgrammingWrites) {
    OperationRig rig("ATmega8 (ISP)");
    rig.Contents().fuses[0] = 0xE4;
    rig.Contents().fuses[1] = 0xC9;
    rig.ui.Answer(kIdOk);
    ASSERT_EQ(rig.handlers.OnReadFusesButton(true), 0);
    EXPECT_EQ(rig.ctx.settings.fuseLow, 0xE4);
    EXPECT_EQ(rig.ctx.settings.fuseHigh, 0xC9);
    EXPECT_TRUE(rig.view.IsChecked(kFuseBoxIds[1][0]));  // CKSEL0: bit 0 of 0xE4 is 0

    rig.dir.Write("fw.bin", Bytes(TestPattern(0x400, 5)));
    rig.UseDataFile(rig.dir.Path("fw.bin"));
    rig.Contents().fuses[0] = 0xFF;  // as if something else had changed the chip
    rig.ui.Answer(kIdOk);
    ASSERT_EQ(rig.handlers.OnProgramButton(), 0) << ::testing::PrintToString(rig.Messages());
    EXPECT_EQ(rig.Contents().fuses[0], 0xE4);
    EXPECT_EQ(rig.Contents().fuses[1], 0xC9);
}

}  // namespace
}  // namespace merlinox::testing
