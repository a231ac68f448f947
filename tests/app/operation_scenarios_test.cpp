#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "devices/library_reader.h"
#include "link/board_control.h"
#include "link/transport.h"
#include "operations/erase.h"
#include "support/operation_rig.h"

namespace merlinox::testing {
namespace {

// An ATmega8 with a flash file of 4 KB and an EEPROM companion of 512 bytes.
struct Scenario : ::testing::Test {
    explicit Scenario(sim::BoardFaults faults = {}) : rig("ATmega8 (ISP)", faults) {
        flash = TestPattern(0x1000, 3);
        rig.dir.Write("fw.bin", Bytes(flash));
        rig.dir.Write("fw.eep", Bytes(TestPattern(512, 4)));
        rig.UseDataFile(rig.dir.Path("fw.bin"));
    }
    void ProgramCleanly() {
        rig.ui.Answer(kIdOk);
        ASSERT_EQ(rig.handlers.OnProgramButton(), 0) << ::testing::PrintToString(rig.Messages());
        rig.ui.shown.clear();
    }

    OperationRig rig;
    std::vector<std::uint8_t> flash;
};

TEST_F(Scenario, CancelEndsTheBlankCheckVerifyReadOutAndFileLoadWithTheirMessages) {
    rig.CancelAtPump(2);
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnBlankCheckButton(), 5);
    EXPECT_TRUE(rig.Showed("Leertest abgebrochen !"));

    ProgramCleanly();
    rig.CancelAtPump(rig.ui.pumps + 2);
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 6);
    EXPECT_TRUE(rig.Showed("Prüfen abgebrochen"));

    // A cancelled read-out leaves the file as it was before; no EEPROM file is made.
    rig.CancelAtPump(rig.ui.pumps + 5);
    rig.ui.Answer(kIdOk);
    rig.ctx.settings.ffSave = 1;
    rig.dir.Write("part.hex", "old\n");
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("part.hex"), kFormatIntel32 + 1});
    EXPECT_EQ(rig.handlers.OnReadOutButton(), 4);
    EXPECT_TRUE(rig.Showed("Speichern abgebrochen !"));
    EXPECT_EQ(rig.dir.Read("part.hex"), "old\n");
    for (const auto& entry : std::filesystem::directory_iterator(rig.dir.Dir())) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.rfind(".part.hex.", 0), 0u) << "a temp file left: " << name;
    }
    EXPECT_FALSE(std::filesystem::exists(rig.dir.Path("part.eep")));
    EXPECT_TRUE(rig.ControlsUnlocked());

    // A large text file answers to Cancel while it loads, before the erase touches the chip.
    const auto before = rig.Contents().flash;
    std::string text;
    for (int line = 0; line < 3000; ++line) text += "S1030000FC\r\n";  // records without data
    text += "S1050000AABB95\r\nS9030000FC\r\n";
    rig.dir.Write("big.hex", text);
    rig.UseDataFile(rig.dir.Path("big.hex"));
    rig.CancelAtPump(rig.ui.pumps + 1);
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnProgramButton(), 3);
    EXPECT_TRUE(rig.Showed("Lesen der Datei abgebrochen !"));
    EXPECT_EQ(rig.Contents().flash, before);
    EXPECT_TRUE(rig.ControlsUnlocked());
}

// Blank check and verify report the first difference; Retry goes on, Cancel stops.
TEST_F(Scenario, BlankCheckAndVerifyReportTheirDifferences) {
    rig.Contents().flash[6] = 0x12;
    rig.Contents().eeprom[9] = 0x00;
    rig.ui.Answer(kIdOk);
    rig.ui.Answer(kIdCancel);
    EXPECT_EQ(rig.handlers.OnBlankCheckButton(), 5);
    EXPECT_EQ(rig.Messages().back(),
              "Programmspeicher \nBlank Check Fehler an\nAdresse 3\nWort 0xFFFF\nGelesen 0xFF12");
    EXPECT_EQ(rig.ui.shown.size(), 2u) << "no EEPROM pass after Cancel";

    ProgramCleanly();
    auto& chip = rig.Contents().flash;
    for (const std::size_t at : {0x200u, 0x400u, 0x600u}) chip[at] = ~flash[at];  // 3 words
    for (const int answer : {kIdOk, kIdRetry, kIdCancel}) rig.ui.Answer(answer);
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 6);
    char report[128];
    std::snprintf(report, sizeof report,
                  "Verifyfehler an Adresse 0x00000100\nWort 0x%02X%02X\nGelesen 0x%02X%02X",
                  flash[0x201], flash[0x200], chip[0x201], chip[0x200]);
    EXPECT_EQ(rig.ui.shown.at(1).text, report);
    EXPECT_EQ(rig.ui.shown.size(), 3u) << "confirmation and two reports: the third is not reached";
}

// A declined confirmation leaves the chip alone; demo mode leaves the board alone.
TEST_F(Scenario, DeclinedConfirmationsAndDemoModeChangeNothing) {
    int (OperationHandlers::*const buttons[])() = {
        &OperationHandlers::OnProgramButton,    &OperationHandlers::OnVerifyButton,
        &OperationHandlers::OnBlankCheckButton, &OperationHandlers::OnEraseButton,
        &OperationHandlers::OnReadOutButton,    &OperationHandlers::OnResetButton};
    const int declined[] = {7, 6, 6, 16, 4};  // Reset asks nothing
    ProgramCleanly();
    const auto programmed = rig.Contents().flash;
    rig.dir.Write("fw.bin", Bytes(TestPattern(0x1000, 9)));
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("x.bin"), kFormatBinary + 1});
    for (int i = 0; i < 5; ++i) EXPECT_EQ((rig.handlers.*buttons[i])(), declined[i]);
    EXPECT_EQ(rig.ui.shown.size(), 5u) << ::testing::PrintToString(rig.Messages());
    EXPECT_EQ(rig.Contents().flash, programmed);
    EXPECT_FALSE(std::filesystem::exists(rig.dir.Path("x.bin")));

    rig.ui.shown.clear();
    rig.ctx.link.demoMode = true;
    const auto transfers = rig.board.Acknowledged();
    const int created = rig.busy.created;
    rig.dialogs.Answer(FileDialogChoice{rig.dir.Path("x.bin"), kFormatBinary + 1});
    for (auto button : buttons) EXPECT_EQ((rig.handlers.*button)(), kRefusedDemo);
    EXPECT_EQ(rig.Count("Keine Aktionen des Brenners möglich !\n\nProgramm läuft im Demomodus."),
              6);
    EXPECT_EQ(rig.ui.shown.size(), 6u);
    EXPECT_EQ(rig.busy.created, created);
    EXPECT_EQ(rig.board.Acknowledged(), transfers);
    EXPECT_TRUE(rig.ControlsUnlocked());
}

// A board that stops answering inside a pass: one timeout message however many
// switch-off transfers still try, the pass ends like a cancelled one, the window is free.
TEST(DyingBoard, EndsThePassWithOneTimeoutMessageAndUnlocks) {
    for (const auto& [dieAfter, button, result] :
         {std::tuple{std::uint64_t{60000}, &OperationHandlers::OnProgramButton, 7},
          std::tuple{std::uint64_t{10000}, &OperationHandlers::OnEraseButton, 16}}) {
        OperationRig rig("ATmega8 (ISP)", sim::BoardFaults{.dieAfter = dieAfter});
        rig.dir.Write("fw.bin", Bytes(TestPattern(0x1000, 3)));
        rig.UseDataFile(rig.dir.Path("fw.bin"));
        rig.ui.Answer(kIdOk);
        EXPECT_EQ((rig.handlers.*button)(), result);
        ASSERT_NE(rig.Messages().at(1).find("Timeout-Fehler bei Datenübertragung !!"),
                  std::string::npos);
        EXPECT_EQ(rig.Count(rig.Messages().at(1)), 1) << ::testing::PrintToString(rig.Messages());
        EXPECT_TRUE(rig.ControlsUnlocked());
        EXPECT_FALSE(rig.ctx.link.boardLost);
        EXPECT_GT(rig.ctx.link.failedTransfers, 100u) << "the switch-off tried every transfer";
    }
}

// Cancel pressed in the middle of a flash page ends the pass there: the page is not
// finished first (a library page may be as long as the memory).
TEST_F(Scenario, CancelEndsAPagedPassInsideItsPage) {
    rig.CancelAtPump(rig.ui.pumps + 1);
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnProgramButton(), 7);
    ASSERT_EQ(rig.ctx.device.flashPageWords, 32u);
    // The first step of the bar comes after progressDivisor words, inside a page.
    const std::size_t cancelled = rig.ctx.operation.progressDivisor;
    const std::size_t page = cancelled / 32;
    ASSERT_NE(cancelled % 32, 0u);
    ASSERT_GE(page, 1u);
    const auto& chip = rig.Contents().flash;
    const auto bytes = [&](const auto& memory, std::size_t p) {
        return std::vector<std::uint8_t>(memory.begin() + p * 64, memory.begin() + p * 64 + 64);
    };
    EXPECT_EQ(bytes(chip, page - 1), bytes(flash, page - 1));
    EXPECT_EQ(bytes(chip, page), std::vector<std::uint8_t>(64, 0xFF)) << "page " << page;
}

// An erase delay of hours in the library: Cancel (Ctrl-C on the command line) still
// ends the erase within one slice of the wait.
TEST(EraseWithALongDelay, EndsOnCancel) {
    OperationRig rig("ATmega8 (ISP)");
    ASSERT_EQ(LoadSelectedDevice(rig.ctx), 0);
    rig.ctx.device.eraseDelay = 100000000;  // 10,000 s in units of 100 µs
    rig.CancelAtPump(rig.ui.pumps + 3);
    PowerOn(rig.ctx);
    const auto before = rig.board.Now();
    EXPECT_EQ(Erase(rig.ctx), 16);
    EXPECT_LT(rig.board.Now() - before, 1'000'000'000) << "simulated ns: under a second";
    PowerOff(rig.ctx);
}

// An operation that cannot be marked as running does not run.
TEST_F(Scenario, AnUnmarkableOperationDoesNotRun) {
    rig.busy.refusal = "the lock directory /x has mode 0777";
    const auto transfers = rig.board.Acknowledged();
    EXPECT_EQ(rig.handlers.OnEraseButton(), kRefusedBusy);
    EXPECT_EQ(rig.handlers.OnResetButton(), kRefusedBusy);
    const std::string why = "The operation was not started: the lock directory /x has mode 0777";
    EXPECT_EQ(rig.Messages(), std::vector<std::string>(2, why));
    EXPECT_EQ(rig.board.Acknowledged(), transfers);
    EXPECT_EQ(rig.busy.created, 0);
}

// A read-back line stuck low: every written word reads back wrong. Retry goes on with
// the next cell, but the run still fails and skips the EEPROM, fuses and lock bits.
TEST(ReadBackDifferences, RetryGoesOnButTheRunStillFails) {
    OperationRig rig("ATtiny12 (HV seriell)", sim::BoardFaults{.stuckBit = 5});  // SDO
    rig.ctx.settings.idCheck = 0;
    rig.dir.Write("fw.bin", Bytes(TestPattern(0x10, 1)));
    rig.dir.Write("fw.eep", Bytes(TestPattern(0x10, 2)));
    rig.UseDataFile(rig.dir.Path("fw.bin"));
    rig.ui.Answer(kIdOk);
    for (int i = 0; i < 8; ++i) rig.ui.Answer(kIdRetry);
    EXPECT_EQ(rig.handlers.OnProgramButton(), 7);
    const auto retries = [](const auto& box) { return box.kind == BoxKind::RetryCancel; };
    EXPECT_EQ(std::ranges::count_if(rig.ui.shown, retries), 8) << "one per word, no EEPROM";
    EXPECT_EQ(rig.ui.shown[1].text.substr(0, 45),
              "Programmspeicher Fehler !!\nAdresse: 0x000000\n");
}

}  // namespace
}  // namespace merlinox::testing
