#include <gtest/gtest.h>

#include <string>

#include "app/context.h"
#include "app/messages.h"
#include "support/scripted_ui.h"

namespace merlinox {
namespace {

using testing::ScriptedUi;

TEST(MessageHelpers, BeepPrecedesEveryQuestionBoxOnlyWhenEnabled) {
    ScriptedUi ui;
    Context ctx(ui);
    ShowInfo(ctx, "a");
    ui.Answer(kIdRetry);
    EXPECT_EQ(AskRetryCancel(ctx, "b"), kIdRetry);
    ctx.settings.messageBeap = 0;
    ui.Answer(kIdOk);
    EXPECT_EQ(AskOkCancel(ctx, "c"), kIdOk);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_TRUE(ui.shown[0].beeped);
    EXPECT_TRUE(ui.shown[1].beeped);
    EXPECT_FALSE(ui.shown[2].beeped);
    EXPECT_EQ(ui.shown[1].kind, BoxKind::RetryCancel);
    EXPECT_EQ(ui.shown[2].kind, BoxKind::OkCancel);
}

TEST(MessageHelpers, ClosedQuestionBoxAnswersCancel) {
    ScriptedUi ui;
    Context ctx(ui);
    EXPECT_EQ(AskRetryCancel(ctx, "x"), kIdCancel);
    EXPECT_EQ(AskOkCancel(ctx, "x"), kIdCancel);
}

TEST(FileErrorReport, NamesPathAndErrorTextWithoutBeepOrIcon) {
    ScriptedUi ui;
    Context ctx(ui);
    ShowFileError(ctx, "C:\\daten\\test.hex", 2);
    ShowFileError(ctx, "x", 13);
    ShowFileError(ctx, "y", 28);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[0].text,
              "Fehler beim Öffnen der Datei\n\nC:\\daten\\test.hex\n\nDatei oder Verzeichnis existiert nicht");
    EXPECT_EQ(ui.shown[0].kind, BoxKind::Plain);
    EXPECT_FALSE(ui.shown[0].beeped);
    EXPECT_EQ(ui.beeps, 0);
    // Used by number: a denied access (13 here) reads as the table's entry 13.
    EXPECT_EQ(ui.shown[1].text, "Fehler beim Öffnen der Datei\n\nx\n\nUngültige Daten");
    EXPECT_EQ(ui.shown[2].text, "Fehler beim Öffnen der Datei\n\ny\n\nKein Platz mehr auf dem Gerät");
}

TEST(FileErrorReport, EveryNumberHasANonEmptyText) {
    EXPECT_EQ(ErrorText(0), " ");
    EXPECT_EQ(ErrorText(48), " ");
    EXPECT_EQ(ErrorText(24), "no child process");
    for (int n = -5; n < 300; ++n) EXPECT_FALSE(ErrorText(n).empty()) << n;
    EXPECT_NE(ErrorText(49), " ");
}

TEST(MessageBuffer, ComposesAndCutsWithoutOverrun) {
    MessageBuffer buffer;
    EXPECT_EQ(buffer.Format("Devicecode 0x%04X fehlt in %s", 0x9302u, "ReadCSV"), "Devicecode 0x9302 fehlt in ReadCSV");
    buffer.Append("!");
    EXPECT_EQ(buffer.View(), "Devicecode 0x9302 fehlt in ReadCSV!");

    const std::string longName(5000, 'A');
    buffer.Format("%s\n\nBausteingröße ist 0 !", longName.c_str());
    EXPECT_EQ(buffer.Length(), MessageBuffer::kSize - 1);
    EXPECT_EQ(buffer.CStr()[buffer.Length()], '\0');
    buffer.Append("%s", longName.c_str());
    EXPECT_EQ(buffer.Length(), MessageBuffer::kSize - 1);
}

TEST(MessageBuffer, NeverCutsInsideAnUmlaut) {
    MessageBuffer buffer;
    std::string text;
    for (int i = 0; i < 1500; ++i) text += "ü";  // two bytes each
    buffer.Set(text);  // 3000 bytes: a cut at 2047 would split the 1024th umlaut
    EXPECT_EQ(buffer.Length(), 2046u);
    EXPECT_EQ(buffer.View(), text.substr(0, 2046));
    buffer.Set("x" + text);  // shifted by one, the cut falls between two umlauts
    EXPECT_EQ(buffer.Length(), 2047u);
}

}  // namespace
}  // namespace merlinox
