#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/data_writers.h"
#include "files/files_test_support.h"
#include "link/board_control.h"
#include "operations/blank_check.h"
#include "operations/erase.h"
#include "operations/fuse_lock.h"
#include "operations/fuse_read.h"
#include "operations/interface_ops.h"
#include "operations/programming.h"
#include "operations/read_out.h"
#include "operations/verify.h"
#include "support/operation_rig.h"

namespace merlinox::testing {
namespace {

// A device whose mode is missing or out of range: every operation and every writer
// names itself in the one guard's message, returns its code and sends nothing.
TEST(ModeGuard, EveryOperationAndWriterWithoutAModeRefusesBeforeTheBoard) {
    OperationRig rig("ATmega8 (ISP)");
    ChipFuseBytes fuses;
    RecordingSource source({0x01, 0x02}, kFlash);
    const std::string out = rig.dir.Path("out.bin");
    const struct {
        const char* name;
        int result;
        std::function<int()> run;
    } cases[] = {
        {"BlanckCheck", kNoProgrammingMode, [&] { return BlanckCheck(rig.ctx); }},
        {"CheckID", kSignatureMismatch, [&] { return CheckID(rig.ctx); }},
        {"Erase", kNoProgrammingMode, [&] { return Erase(rig.ctx); }},
        {"EraseAVR", kNoProgrammingMode, [&] { return EraseAVR(rig.ctx); }},
        {"ProgramAVR", kNoProgrammingMode, [&] { return ProgramAVR(rig.ctx, 1, 1, kFlash); }},
        {"Do_Program", kNoProgrammingMode, [&] { return Do_Program(rig.ctx, kEeprom); }},
        {"VerifyAVR", kNoProgrammingMode, [&] { return VerifyAVR(rig.ctx, 1, 1, kFlash); }},
        {"VerifyData", kNoProgrammingMode, [&] { return VerifyData(rig.ctx, kFlash); }},
        {"SaveAVR", kNoProgrammingMode, [&] { return SaveAVR(rig.ctx); }},
        {"ProgramFuseBits", kNoProgrammingMode, [&] { return ProgramFuseBits(rig.ctx); }},
        {"ProgramLockBits", kNoProgrammingMode, [&] { return ProgramLockBits(rig.ctx); }},
        {"ReadFuseBits", kNoProgrammingMode, [&] { return ReadFuseBits(rig.ctx, fuses); }},
        {"ReadFusesFromChip", kNoProgrammingMode,
         [&] { return ReadFusesFromChip(rig.ctx, fuses); }},
        {"SaveBin", kNoProgrammingMode, [&] { return SaveBin(rig.ctx, out, kFlash, 1, source); }},
        {"SaveHex", kNoProgrammingMode, [&] { return SaveHex(rig.ctx, out, kFlash, 1, source); }},
        {"SaveROMHex", kNoProgrammingMode,
         [&] { return SaveROMHex(rig.ctx, out, kFlash, 1, source); }},
    };
    for (const int mode : {static_cast<int>(kNoMode), kMspi2 + 1, -1}) {
        rig.ctx.device.programmingMode = mode;
        EXPECT_EQ(FindInterfaceOps(mode), nullptr);
        EXPECT_EQ(CheckPageSizes(rig.ctx), kOk) << "nothing to refuse without a mode";
        for (const auto& c : cases) {
            rig.ui.shown.clear();
            const auto transfers = rig.board.Acknowledged();
            EXPECT_EQ(c.run(), c.result) << c.name << ", mode " << mode;
            EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Programmiermodus fehlt in " +
                                                               std::string(c.name) + "()"})
                << c.name << ", mode " << mode;
            EXPECT_EQ(rig.board.Acknowledged(), transfers) << c.name << ", mode " << mode;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

// PAR4's page loop loads blank cells past the image too and reads back each page's last
// cell, reported under its own address; SDO (bit 5) stuck low makes every read-back differ.
TEST(PageLoop, ReportsTheLastCellOfEveryPageInBothMemories) {
    OperationRig rig("ATtiny85 (HV seriell)", sim::BoardFaults{.stuckBit = 5});
    ASSERT_EQ(rig.ctx.device.flashPageWords, 32u);
    ASSERT_EQ(rig.ctx.device.eepromPageBytes, 4u);
    rig.ctx.settings.idCheck = 0;
    rig.dir.Write("fw.bin", Bytes(TestPattern(0x50, 1)));  // 40 words: two pages
    rig.dir.Write("fw.eep", Bytes(TestPattern(6, 2)));     // 6 bytes: two pages
    rig.UseDataFile(rig.dir.Path("fw.bin"));
    rig.ui.Answer(kIdOk);
    for (int i = 0; i < 4; ++i) rig.ui.Answer(kIdRetry);

    EXPECT_EQ(ProgramFile(rig.ctx, rig.dir.Path("fw.bin"), 1, kFlash), kProgrammingFailed);
    EXPECT_EQ(ProgramFile(rig.ctx, rig.dir.Path("fw.eep"), 0, kEeprom), kProgrammingFailed);
    PowerOff(rig.ctx);
    const auto messages = rig.Messages();
    ASSERT_EQ(messages.size(), 5u) << ::testing::PrintToString(messages);
    const char* const heads[] = {
        "Programmspeicher Fehler !!\nAdresse: 0x00001F\n\nRichtig: 0x",
        "Programmspeicher Fehler !!\nAdresse: 0x00003F\n\nRichtig: 0xFFFF\n",
        "Daten-EEPROM Fehler !!\nAdresse: 0x0003\n\nRichtig: 0x",
        "Daten-EEPROM Fehler !!\nAdresse: 0x0007\n\nRichtig: 0xFF\n",
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(messages[i + 1].rfind(heads[i], 0), 0u) << messages[i + 1];
    }
}

// The parallel family reads its fuse and lock writes back on a READFUSE device: a
// read-back line stuck low shows as an unprogrammed write, in the written byte's layout.
TEST(ParallelFuseWrites, AReadBackThatDiffersFailsWithTheBytesWrittenAndRead) {
    const struct {
        int stuckBit;
        int (*write)(Context&);
        const char* message;
    } cases[] = {
        {5, &ProgramFuseBits,
         "FUSE Bits sind nicht programmiert worden !\n\nErwartet 0xFF\nGelesen 0xDF\n"},
        {7, &ProgramLockBits,
         "Lock Bits sind nicht programmiert worden !\n\nErwartet 0xFF\nGelesen 0xFD\n"},
    };
    for (const auto& c : cases) {
        OperationRig rig("AT90S2313 (parallel)", sim::BoardFaults{.stuckBit = c.stuckBit});
        ASSERT_EQ(rig.ctx.device.extra, kReadFuse);
        rig.ctx.settings.fuseLow = 0xFF;
        rig.ctx.settings.lockBits = 0xFF;
        PowerOn(rig.ctx);
        EXPECT_EQ(c.write(rig.ctx), kProgrammingFailed) << c.message;
        PowerOff(rig.ctx);
        EXPECT_EQ(rig.Messages(), std::vector<std::string>{c.message});
    }
}

}  // namespace
}  // namespace merlinox::testing
