#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "config/data_file_paths.h"
#include "operations/operation_rig.h"

namespace merlinox::testing {
namespace {

constexpr const char* kDevice = "ATmega8 (ISP)";

// An ATmega8 with a flash file of 4 KB and an EEPROM companion of 512 bytes.
struct Scenario : ::testing::Test {
    explicit Scenario(sim::BoardFaults faults = {}) : rig(kDevice, faults) {
        flash = TestPattern(0x1000, 3);
        eeprom = TestPattern(512, 4);
        rig.dir.Write("fw.bin", Bytes(flash));
        rig.dir.Write("fw.eep", Bytes(eeprom));
        rig.UseDataFile(rig.dir.Path("fw.bin"));
    }
    int Program() {
        rig.ui.Answer(kIdOk);
        return rig.handlers.OnProgramButton();
    }
    void ProgramCleanly() {
        ASSERT_EQ(Program(), 0) << ::testing::PrintToString(rig.Messages());
        rig.ui.shown.clear();
    }

    OperationRig rig;
    std::vector<std::uint8_t> flash;
    std::vector<std::uint8_t> eeprom;
};

TEST_F(Scenario, CancelInTheFlashPassSkipsEepromFusesAndLocks) {
    rig.ctx.settings.lockBits = 0xFC;
    rig.CancelAtPump(3);
    EXPECT_EQ(Program(), 7);
    EXPECT_TRUE(rig.Showed("Programmierung abgebrochen !"));
    EXPECT_FALSE(rig.Showed("Keine Fehler beim Brennen"));
    const auto& chipEeprom = rig.Contents().eeprom;
    EXPECT_TRUE(std::all_of(chipEeprom.begin(), chipEeprom.end(), [](auto b) { return b == 0xFF; }));
    EXPECT_EQ(rig.Contents().lock, 0xFF);
    EXPECT_TRUE(rig.ControlsUnlocked());
    EXPECT_EQ(rig.ctx.operation.cancelRequested, 0);
}

TEST_F(Scenario, CancelEndsVerifyBlankCheckAndReadOutWithTheirMessages) {
    rig.CancelAtPump(2);
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnBlankCheckButton(), 5);
    EXPECT_TRUE(rig.Showed("Leertest abgebrochen !"));
    EXPECT_EQ(rig.ui.shown.size(), 2u);

    ProgramCleanly();
    rig.CancelAtPump(rig.ui.pumps + 2);
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 6);
    EXPECT_TRUE(rig.Showed("Prüfen abgebrochen"));

    // The flash file stays as far as it was written; no EEPROM file is made.
    rig.CancelAtPump(rig.ui.pumps + 5);
    rig.ui.Answer(kIdOk);
    rig.ctx.settings.ffSave = 1;
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("part.hex"), kFormatIntel32 + 1});
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 4);
    EXPECT_TRUE(rig.Showed("Speichern abgebrochen !"));
    EXPECT_FALSE(rig.Showed("Inhalt vom Baustein gespeichert."));
    EXPECT_TRUE(std::filesystem::exists(rig.dir.Path("part.hex")));
    EXPECT_FALSE(std::filesystem::exists(rig.dir.Path("part.eep")));
    EXPECT_TRUE(rig.ControlsUnlocked());
}

TEST_F(Scenario, VerifyReportsEachDifferenceRetryGoesOnCancelStops) {
    ProgramCleanly();
    auto& chipFlash = rig.Contents().flash;
    chipFlash[0x200] = static_cast<std::uint8_t>(~flash[0x200]);  // word 0x100
    chipFlash[0x400] = static_cast<std::uint8_t>(~flash[0x400]);  // word 0x200
    const std::uint16_t expected = static_cast<std::uint16_t>(flash[0x200] | flash[0x201] << 8);
    const std::uint16_t read = static_cast<std::uint16_t>(chipFlash[0x200] | chipFlash[0x201] << 8);

    rig.ui.Answer(kIdOk);
    rig.ui.Answer(kIdRetry);
    rig.ui.Answer(kIdRetry);
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 6);
    char report[128];
    std::snprintf(report, sizeof report,
                  "Verifyfehler an Adresse 0x00000100\nWort 0x%04X\nGelesen 0x%04X", expected, read);
    EXPECT_TRUE(rig.Showed(report));
    EXPECT_EQ(rig.ui.shown.size(), 3u) << "confirmation and two reports, no success";
    EXPECT_FALSE(rig.Showed("Keine Fehler beim Prüfen !"));

    rig.ui.shown.clear();
    rig.ui.Answer(kIdOk);
    rig.ui.Answer(kIdCancel);
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 6);
    EXPECT_EQ(rig.ui.shown.size(), 2u) << "the pass ends at the first Cancel";
}

TEST_F(Scenario, BlankCheckRetryGivesFourAndCancelFive) {
    rig.Contents().flash[6] = 0x12;
    rig.ui.Answer(kIdOk);
    rig.ui.Answer(kIdRetry);
    EXPECT_EQ(rig.handlers.OnBlankCheckButton(), 4);
    EXPECT_TRUE(rig.Showed(
        "Programmspeicher \nBlank Check Fehler an\nAdresse 3\nWort 0xFFFF\nGelesen 0xFF12"));
    EXPECT_FALSE(rig.Showed("Baustein ist leer"));

    rig.ui.shown.clear();
    rig.Contents().eeprom[9] = 0x00;
    rig.ui.Answer(kIdOk);
    rig.ui.Answer(kIdCancel);
    EXPECT_EQ(rig.handlers.OnBlankCheckButton(), 5);
    EXPECT_EQ(rig.ui.shown.size(), 2u) << "no EEPROM pass after Cancel";
}

TEST_F(Scenario, WrongChipInTheSocketIsNotTouched) {
    rig.InsertChip("ATmega88");
    EXPECT_EQ(Program(), 7);
    EXPECT_TRUE(rig.Showed(
        "Prozessor-ID's stimmen nicht !!!\n\n"
        "Richtig:\tHersteller-ID 0x1E\tBaustein-ID 0x93\tSub-ID 0x07\n"
        "Gelesen:\tHersteller-ID 0x1E\tBaustein-ID 0x93\tSub-ID 0x0A\n"));
    for (std::uint8_t b : rig.Contents().flash) ASSERT_EQ(b, 0xFF);
    EXPECT_TRUE(rig.ControlsUnlocked());
}

TEST_F(Scenario, DeclinedConfirmationsPowerNothing) {
    ProgramCleanly();
    const auto before = rig.Contents().flash;
    EXPECT_EQ(rig.handlers.OnProgramButton(), 7);
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 6);
    EXPECT_EQ(rig.handlers.OnBlankCheckButton(), 6);
    EXPECT_EQ(rig.handlers.OnEraseButton(), 16);
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("x.bin"), kFormatBinary + 1});
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 4);
    EXPECT_EQ(rig.ui.shown.size(), 5u) << ::testing::PrintToString(rig.Messages());
    for (const auto& box : rig.ui.shown) EXPECT_EQ(box.kind, BoxKind::OkCancel);
    EXPECT_EQ(rig.Contents().flash, before);
    EXPECT_FALSE(std::filesystem::exists(rig.dir.Path("x.bin")));
    EXPECT_EQ(rig.board.Drive().vccMillivolts, 0u);
    EXPECT_TRUE(rig.ControlsUnlocked());
}

TEST_F(Scenario, DemoModeAndARunningOperationRefuseEveryButton) {
    int (OperationHandlers::*const buttons[])() = {
        &OperationHandlers::OnProgramButton, &OperationHandlers::OnVerifyButton,
        &OperationHandlers::OnBlankCheckButton, &OperationHandlers::OnEraseButton,
        &OperationHandlers::OnResetButton, &OperationHandlers::OnReadOutButton};
    const auto transfers = rig.board.Acknowledged();
    rig.ctx.link.demoMode = true;
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("x.bin"), kFormatBinary + 1});
    for (auto button : buttons) EXPECT_EQ((rig.handlers.*button)(), kRefusedDemo);
    EXPECT_EQ(rig.Count("Keine Aktionen des Brenners möglich !\n\nProgramm läuft im Demomodus."), 6);
    EXPECT_EQ(rig.ui.shown.size(), 6u);
    EXPECT_EQ(rig.busy.created, 0);

    rig.ctx.link.demoMode = false;
    rig.ui.shown.clear();
    rig.busy.foreignTitles.insert("PendrakeDevil");
    for (auto button : buttons) EXPECT_EQ((rig.handlers.*button)(), kRefusedBusy);
    EXPECT_TRUE(rig.ui.shown.empty());
    EXPECT_EQ(rig.dialogs.asked.size(), 1u) << "the busy test comes before the save dialog";
    EXPECT_EQ(rig.board.Acknowledged(), transfers);
}

TEST_F(Scenario, FullDiskDuringReadOutEndsWithTheFileError) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    ProgramCleanly();
    rig.ui.Answer(kIdOk);
    // "*.*" keeps the name as typed and saves binary.
    rig.dialogs.Answer(FileDialogChoice{"/dev/full", 1});
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 4);
    EXPECT_EQ(rig.ctx.settings.dataFormat, kFormatBinary);
    EXPECT_TRUE(rig.Showed("Datenblock konnte nicht geschrieben werden !"));
    EXPECT_TRUE(std::any_of(rig.ui.shown.begin(), rig.ui.shown.end(), [](const auto& box) {
        return box.kind == BoxKind::Plain && box.text.find("Kein Platz mehr") != std::string::npos;
    })) << ::testing::PrintToString(rig.Messages());
    EXPECT_TRUE(rig.Showed("Speichern abgebrochen !"));
    EXPECT_FALSE(rig.Showed("Inhalt vom Baustein gespeichert."));
    EXPECT_TRUE(rig.ControlsUnlocked());
    EXPECT_EQ(rig.board.Drive().vccMillivolts, 0u);
}

// The board stops answering in the middle of the flash pass: one timeout message, the
// pass ends like a cancelled one, and the window is usable again at once.
struct DeadBoard : Scenario {
    DeadBoard() : Scenario(sim::BoardFaults{.dieAfter = 60000}) {}
};

TEST_F(DeadBoard, OperationEndsWithItsMessagesAndUnlocks) {
    EXPECT_EQ(Program(), 7);
    EXPECT_EQ(rig.Count(std::string("\nTimeout-Fehler bei Datenübertragung !!\n\nMögliche Fehler:\n\n"
                                     "Brenner nicht eingeschaltet.\n"
                                     "Brenner an der falschen Schnittstelle oder\ngar nicht angeschlossen.\n"
                                     "Falsche Port-Adresse in den PREFS.\n"
                                     "Kabel defekt oder viel zu lang.\n"
                                     "Ein Druckerumschalter falsch geschaltet ?\n"
                                     "Baustein im Sockel vergessen !!")),
              1);
    EXPECT_TRUE(rig.Showed("Programmierung abgebrochen !"));
    EXPECT_FALSE(rig.Showed("Keine Fehler beim Brennen"));
    EXPECT_TRUE(rig.ControlsUnlocked());
    EXPECT_FALSE(rig.ctx.link.boardLost);
}

// The fuse bytes of the panel reach the chip in each way of writing them: the parallel
// write with its read-back, the high-voltage serial frames and the serial instructions.
TEST(FuseAndLockBits, TheSettingsReachTheChip) {
    struct Case {
        const char* device;
        std::uint8_t low;
        std::uint8_t high;
        std::uint8_t lowMask;  // the bits the chip has
    };
    const Case cases[] = {
        {"AT90S2313 (parallel)", 0xDE, 0xFF, 0x21},
        {"ATtiny85 (HV seriell)", 0xE2, 0xD7, 0xFF},
        {"ATtiny85 (SPI Sockel 1)", 0xE2, 0xD7, 0xFF},
        {"ATmega8 (ISP)", 0xE4, 0xC9, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        OperationRig rig(c.device);
        rig.dir.Write("fw.bin", Bytes(TestPattern(0x100, 6)));
        rig.UseDataFile(rig.dir.Path("fw.bin"));
        rig.ctx.settings.fuseLow = c.low;
        rig.ctx.settings.fuseHigh = c.high;
        rig.ui.Answer(kIdOk);
        ASSERT_EQ(rig.handlers.OnProgramButton(), 0) << ::testing::PrintToString(rig.Messages());
        EXPECT_EQ(rig.Contents().fuses[0] & c.lowMask, c.low & c.lowMask);
        if (c.high != 0xFF) {
            EXPECT_EQ(rig.Contents().fuses[1], c.high);
        }
    }
}

// A read-back line stuck low: every written word reads back wrong. Retry goes on with
// the next cell, Cancel ends the pass; either way the run fails and skips the EEPROM,
// the fuses and the lock bits.
TEST(ReadBackDifferences, RetryGoesOnButTheRunStillFailsAndCancelStopsAtOnce) {
    sim::BoardFaults faults;
    faults.stuckBit = 5;  // SDO in the high-voltage serial modes
    OperationRig rig("ATtiny12 (HV seriell)", faults);
    rig.ctx.settings.idCheck = 0;
    rig.dir.Write("fw.bin", Bytes(TestPattern(0x10, 1)));
    rig.dir.Write("fw.eep", Bytes(TestPattern(0x10, 2)));
    rig.UseDataFile(rig.dir.Path("fw.bin"));
    rig.ui.Answer(kIdOk);
    for (int i = 0; i < 8; ++i) rig.ui.Answer(kIdRetry);
    EXPECT_EQ(rig.handlers.OnProgramButton(), 7);
    EXPECT_EQ(std::count_if(rig.ui.shown.begin(), rig.ui.shown.end(),
                            [](const auto& box) { return box.kind == BoxKind::RetryCancel; }),
              8) << "one report per word, the EEPROM not started";
    EXPECT_EQ(rig.ui.shown[1].text.substr(0, 45), "Programmspeicher Fehler !!\nAdresse: 0x000000\n");
    EXPECT_FALSE(rig.Showed("Keine Fehler beim Brennen"));
    EXPECT_TRUE(rig.ControlsUnlocked());

    rig.ui.shown.clear();
    rig.ui.Answer(kIdOk);
    rig.ui.Answer(kIdCancel);
    EXPECT_EQ(rig.handlers.OnProgramButton(), 7);
    EXPECT_EQ(rig.ui.shown.size(), 2u);
}

}  // namespace
}  // namespace merlinox::testing
