#include "config/settings_dialog.h"

#include <gtest/gtest.h>

#include "support/scripted_ui.h"
#include "support/scripted_view.h"
#include "support/test_context.h"

namespace merlinox {
namespace {

using testing::ScriptedSettingsDialog;
using testing::ScriptedUi;

struct Dialog {
    ScriptedUi ui;
    testing::TestContext ctx{ui};
    ScriptedSettingsDialog dialog;
};

TEST(SettingsDialog, OpensWithTheCurrentValuesAndCancelChangesNothing) {
    Dialog d;
    d.ctx.settings.portAdress = 0x3BC;
    d.ctx.settings.messageBeap = 1;
    const Settings before = d.ctx.settings;
    d.dialog.AnswerCancel();
    ShowSettingsDialog(d.ctx, d.dialog);
    ASSERT_EQ(d.dialog.opened.size(), 1u);
    const SettingsDialogFields& shown = d.dialog.opened[0];
    EXPECT_EQ(shown.port, "0x3BC");
    EXPECT_EQ(shown.hexLineLength, std::to_string(before.hexLineLen));
    EXPECT_TRUE(shown.beep);
    EXPECT_EQ(d.ctx.link.dataPort, 0);  // nothing was applied
}

TEST(SettingsDialog, OkAppliesEveryValueAndSetsTheLinkRegisters) {
    Dialog d;
    d.dialog.AnswerOk([](SettingsDialogFields& f) {
        f.port = "0x10278";  // a C number of base 0, cut to 16 bits
        f.timeOut = "10000";
        f.correction = "100";
        f.hexLineLength = "255";
        f.beep = false;
    });
    ShowSettingsDialog(d.ctx, d.dialog);
    EXPECT_EQ(d.ctx.link.statusPort, 0x279);
    EXPECT_EQ(PortBaseFromText("0378"), 037);  // octal, stops at the 8
    EXPECT_EQ(PortBaseFromText("LPT1"), 0);
    EXPECT_EQ(d.ctx.settings.timeOut, 10000u);
    EXPECT_EQ(d.ctx.link.timeoutCount, 10000u);
    EXPECT_EQ(d.ctx.settings.timeBaseKorr, 100u);
    EXPECT_EQ(d.ctx.link.timeBaseCorrection, 100u);
    EXPECT_EQ(d.ctx.settings.hexLineLen, 254u);  // rounded down to even
    EXPECT_EQ(d.ctx.settings.messageBeap, 0u);
    EXPECT_TRUE(d.dialog.refusals.empty());
    EXPECT_TRUE(d.ui.shown.empty());  // nothing is saved or shown here
}

TEST(SettingsDialog, RefusesOutOfRangeAndNonNumericEntriesUntilCorrected) {
    Dialog d;
    d.dialog.AnswerOk([](SettingsDialogFields& f) { f.hexLineLength = "15"; });
    d.dialog.AnswerOk([](SettingsDialogFields& f) {
        f.hexLineLength = "16";
        f.correction = "69";
    });
    d.dialog.AnswerOk([](SettingsDialogFields& f) {
        f.correction = "70";
        f.timeOut = "1e6";
    });
    d.dialog.AnswerOk([](SettingsDialogFields& f) { f.timeOut = "4294967296"; });
    d.dialog.AnswerOk([](SettingsDialogFields& f) { f.timeOut = "-10000"; });
    d.dialog.AnswerOk([](SettingsDialogFields& f) { f.timeOut = " 10000000 "; });
    ShowSettingsDialog(d.ctx, d.dialog);
    ASSERT_EQ(d.dialog.refusals.size(), 5u);
    EXPECT_EQ(d.dialog.refusals[0].controlId, kSettingsHexLineField);
    EXPECT_EQ(d.dialog.refusals[0].message, "Bitte eine ganze Zahl zwischen 16 und 255 eingeben.");
    EXPECT_EQ(d.dialog.refusals[1].controlId, kSettingsCorrectionField);
    EXPECT_EQ(d.dialog.refusals[1].message, "Bitte eine ganze Zahl zwischen 70 und 100 eingeben.");
    EXPECT_EQ(d.dialog.refusals[2].controlId, kSettingsTimeOutField);
    for (std::size_t i = 2; i < 5; ++i) {
        EXPECT_EQ(d.dialog.refusals[i].message, "Bitte eine positive ganze Zahl eingeben.");
    }
    EXPECT_EQ(d.ctx.settings.timeOut, 10000000u);
    EXPECT_EQ(d.ctx.settings.timeBaseKorr, 70u);
    EXPECT_EQ(d.ctx.settings.hexLineLen, 16u);
}

}  // namespace
}  // namespace merlinox
