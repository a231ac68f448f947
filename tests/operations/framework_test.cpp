#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/operation_view.h"
#include "operations/confirmations.h"
#include "operations/progress.h"
#include "support/scripted_ui.h"
#include "support/test_context.h"

namespace merlinox {
namespace {

struct RecordingView : OperationView {
    void SetStatusText(std::string_view) override {}
    void SetProgressRange(std::uint32_t h) override { high = h; }
    void SetProgressPosition(std::uint32_t p) override { positions.push_back(p); }
    void EnableCancelButton(bool) override {}
    std::uint32_t high = 999;
    std::vector<std::uint32_t> positions;
};

struct Framework : ::testing::Test {
    Framework() { ctx.operation.view = &view; }
    testing::ScriptedUi ui;
    testing::TestContext ctx{ui};
    RecordingView view;
};

TEST_F(Framework, ProgressRangeIsCappedAtFiftyStepsWithIntegerDivisor) {
    const struct {
        std::uint32_t total, high, divisor;
    } cases[] = {{50, 50, 1}, {51, 50, 1}, {0, 0, 1}, {8192, 50, 163}};
    for (const auto& c : cases) {
        InitProgress(ctx, c.total);
        EXPECT_EQ(view.high, c.high) << c.total;
        EXPECT_EQ(ctx.operation.progressDivisor, c.divisor) << c.total;
    }
    // 8192 cells in steps of 163: the last 42 run past the bar's end without a step.
    for (int i = 0; i < 8192; ++i) StepProgress(ctx);
    EXPECT_EQ(view.positions.size(), 50u);
    EXPECT_EQ(ui.pumps, 50);
    // With 51 cells and a divisor of 1, the position goes beyond the range unchanged.
    InitProgress(ctx, 51);
    for (int i = 0; i < 51; ++i) StepProgress(ctx);
    EXPECT_EQ(view.positions.back(), 51u);
}

TEST_F(Framework, SocketHintFollowsPackageAndMode) {
    const struct {
        int pins, mode;
        std::string hint;
    } cases[] = {
        {20, kPar1, "\n\nController in Sockel 3 einsetzen.\nNase zeigt zum Hebel"},
        {40, kPar1, ""},
        {8, kPar3,
         "\n\nController mit ATTiny11/12/15 Adapter in Sockel 1 einsetzen."
         "\nDIP8 Sockel am unteren Ende, Nase zeigt zum Hebel"},
        {8, kSpi1,
         "\n\nIn System Programmierung über SPI\nSPI-Adapter in Sockel 1 einsetzen."
         "\nBündig am unteren Ende, Pin 1 zeigt zum Hebel"},
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
}

}  // namespace
}  // namespace merlinox
