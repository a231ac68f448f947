#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/context.h"
#include "operations/confirmations.h"
#include "operations/mode_guard.h"
#include "operations/operation_view.h"
#include "operations/progress.h"
#include "support/scripted_ui.h"

namespace merlinox {
namespace {

using testing::ScriptedUi;

struct RecordingView : OperationView {
    void SetStatusText(std::string_view text) override { status = std::string(text); }
    void SetProgressRange(std::uint32_t h) override { high = h; }
    void SetProgressPosition(std::uint32_t p) override { positions.push_back(p); }
    void EnableCancelButton(bool enable) override { cancelEnabled = enable; }
    std::string status;
    std::uint32_t high = 999;
    std::vector<std::uint32_t> positions;
    bool cancelEnabled = false;
};

struct Framework : ::testing::Test {
    Framework() { ctx.operation.view = &view; }
    ScriptedUi ui;
    Context ctx{ui};
    RecordingView view;
};

TEST_F(Framework, ProgressRangeIsCappedAtFiftyStepsWithIntegerDivisor) {
    const struct { std::uint32_t total, high, divisor; } cases[] = {
        {50, 50, 1}, {51, 50, 1}, {0, 0, 1}, {8192, 50, 163}};
    for (const auto& c : cases) {
        InitProgress(ctx, c.total);
        EXPECT_EQ(view.high, c.high) << c.total;
        EXPECT_EQ(ctx.operation.progressDivisor, c.divisor) << c.total;
    }
    for (int i = 0; i < 8150; ++i) StepProgress(ctx);
    EXPECT_EQ(view.positions.size(), 50u);
    EXPECT_EQ(view.positions.back(), 50u);
    EXPECT_EQ(ui.pumps, 50);
    for (int i = 0; i < 42; ++i) StepProgress(ctx);  // the rest runs past the bar's end
    EXPECT_EQ(view.positions.size(), 50u);
    // With 51 cells and a divisor of 1, the position goes beyond the range unchanged.
    InitProgress(ctx, 51);
    for (int i = 0; i < 51; ++i) StepProgress(ctx);
    EXPECT_EQ(view.positions.back(), 51u);
}

TEST_F(Framework, ModeGuardNamesTheOperation) {
    ctx.device.programmingMode = kNoMode;
    EXPECT_FALSE(ModeGuard(ctx, "VerifyData"));
    EXPECT_EQ(ui.Last().text, "Programmiermodus fehlt in VerifyData()");
    ctx.device.programmingMode = 9;
    EXPECT_FALSE(ModeGuard(ctx, "Erase"));
    for (int mode = kPar1; mode <= kMspi2; ++mode) {
        ctx.device.programmingMode = mode;
        EXPECT_TRUE(ModeGuard(ctx, "Erase"));
    }
    EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(Framework, SocketHintFollowsPackageAndMode) {
    const std::string isp = "\n\nIn System Programmierung über SPI\nSPI-Adapter in Sockel 1 "
                            "einsetzen.\nBündig am unteren Ende, Pin 1 zeigt zum Hebel";
    const struct { int pins, mode; std::string hint; } cases[] = {
        {20, kPar1, "\n\nController in Sockel 3 einsetzen.\nNase zeigt zum Hebel"},
        {40, kPar1, ""},
        {20, kPar2, "\n\nParalleladapter in Sockel 3 einsetzen.\nPin1 zeigt zum Hebel"},
        {8, kPar3, "\n\nController mit ATTiny11/12/15 Adapter in Sockel 1 einsetzen."
                   "\nDIP8 Sockel am unteren Ende, Nase zeigt zum Hebel"},
        {20, kPar3, ""},
        {8, kPar4, ""},
        {8, kSpi1, isp},
        {40, kMspi1, isp},
        {8, kMspi2,
         "\n\nController in Sockel 1 einsetzen.\nBündig am unteren Ende, Nase zeigt zum Hebel"},
        {28, kSpi2, ""},
    };
    for (const auto& c : cases) {
        ctx.device.pinCount = static_cast<std::uint8_t>(c.pins);
        ctx.device.programmingMode = c.mode;
        EXPECT_EQ(BuildSocketHint(ctx), c.hint) << c.pins << " pins, mode " << c.mode;
    }
}

// The programming and verify labels differ from code 4 on.
TEST_F(Framework, ConfirmationsNameDeviceFormatAndAddresses) {
    ctx.device.name = "ATmega8";
    ctx.device.pinCount = 28;
    ctx.device.programmingMode = kMspi2;
    ctx.device.flashWords = 4096;
    ctx.image.highestAddress = 0x1FF;
    ui.Answer(kIdOk);
    EXPECT_EQ(ConfirmProgram(ctx, ProgramFormatLabel(kFormatIntel32)), kIdOk);
    EXPECT_EQ(ui.Last().kind, BoxKind::OkCancel);
    EXPECT_EQ(ui.Last().text,
              "*** ATmega8 ***\n\n*** AVR programmieren ! Format:(Intel32-Hex) ***\n\n"
              "Höchste gefundene Adresse: 255 (0xFF)\n\n"
              "Höchste mögliche Adresse: 4095 (0xFFF)\n\n");
    EXPECT_EQ(ConfirmVerify(ctx, VerifyFormatLabel(kFormatIntel32)), kIdCancel);
    EXPECT_EQ(ui.Last().text,
              "*** ATmega8 ***\n\n*** AVR prüfen ! Format:(Intel32-HEX) ***\n\n"
              "Höchste Adresse: 255 (0xFF)\n\n");
    ctx.device.programmingMode = kPar2;
    ConfirmOperation(ctx, "LEERTEST");
    EXPECT_EQ(ui.Last().text,
              "*** ATmega8 ***\n\nLEERTEST\n\nParalleladapter in Sockel 3 einsetzen."
              "\nPin1 zeigt zum Hebel");
    EXPECT_EQ(ProgramFormatLabel(kFormatRom), VerifyFormatLabel(kFormatRom));
    EXPECT_EQ(ProgramFormatLabel(kFormatS1), "(Motorola Exorciser S1)");
    EXPECT_EQ(VerifyFormatLabel(kFormatS1), "(Motorola Exorciser S1-HEX)");
    EXPECT_EQ(VerifyFormatLabel(9), "");
}

}  // namespace
}  // namespace merlinox
