#include "app/messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "app/app_context.h"
#include "support/scripted_ui.h"

namespace merlinox {
namespace {

using testing::ScriptedUi;

TEST(MessageHelpers, BeepOnlyWhenEnabledAndAClosedQuestionIsCancel) {
    ScriptedUi ui;
    AppContext ctx(ui);
    ShowInfo(ctx, "a");
    ui.Answer(kIdRetry);
    EXPECT_EQ(AskRetryCancel(ctx, "b"), kIdRetry);
    ctx.settings.messageBeap = 0;
    EXPECT_EQ(AskOkCancel(ctx, "c"), kIdCancel);  // no answer queued: the box was closed
    EXPECT_EQ(AskRetryCancel(ctx, "d"), kIdCancel);
    ASSERT_EQ(ui.shown.size(), 4u);
    EXPECT_TRUE(ui.shown[0].beeped && ui.shown[1].beeped);
    EXPECT_FALSE(ui.shown[2].beeped || ui.shown[3].beeped);
    EXPECT_EQ(ui.shown[0].kind, BoxKind::Info);
    EXPECT_EQ(ui.shown[1].kind, BoxKind::RetryCancel);
    EXPECT_EQ(ui.shown[2].kind, BoxKind::OkCancel);
}

// The texts are picked by what the error means, not by its number on another system.
TEST(FileErrorReport, NamesPathAndTheTextOfTheErrorWithoutBeepOrIcon) {
    ScriptedUi ui;
    AppContext ctx(ui);
    ShowFileError(ctx, "C:\\daten\\x", EACCES);
    ShowFileError(ctx, "y", ENOSPC);
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{
                  "Fehler beim Öffnen der Datei\n\nC:\\daten\\x\n\nZugriff verweigert",
                  "Fehler beim Öffnen der Datei\n\ny\n\nKein Platz mehr auf dem Gerät"}));
    EXPECT_EQ(ui.shown[0].kind, BoxKind::Plain);
    EXPECT_EQ(ui.beeps, 0);

    EXPECT_EQ(ErrorText(EROFS), "Read only Dateisystem");
    EXPECT_EQ(ErrorText(0), " ");
    EXPECT_EQ(ErrorText(EISDIR), "Unbekannter Fehler: " + std::string(std::strerror(EISDIR)));
}

TEST(MessageBuffer, ComposesAndCutsWithoutOverrunNeverInsideAnUmlaut) {
    MessageBuffer buffer;
    EXPECT_EQ(buffer.Format("Devicecode 0x%04X fehlt in %s", 0x9302u, "ReadCSV"),
              "Devicecode 0x9302 fehlt in ReadCSV");
    buffer.Append("!");
    EXPECT_EQ(buffer.View(), "Devicecode 0x9302 fehlt in ReadCSV!");

    const std::string longName(5000, 'A');
    buffer.Format("%s\n\nBausteingröße ist 0 !", longName.c_str());
    EXPECT_EQ(buffer.Length(), MessageBuffer::kSize - 1);
    EXPECT_EQ(buffer.CStr()[buffer.Length()], '\0');
    buffer.Append("%s", longName.c_str());
    EXPECT_EQ(buffer.Length(), MessageBuffer::kSize - 1);

    std::string umlauts;
    for (int i = 0; i < 1500; ++i) umlauts += "ü";  // two bytes each
    buffer.Set(umlauts);                            // a cut at 2047 would split the 1024th umlaut
    EXPECT_EQ(buffer.View(), umlauts.substr(0, 2046));
    buffer.Set("x" + umlauts);  // shifted by one, the cut falls between two umlauts
    EXPECT_EQ(buffer.Length(), 2047u);
}

}  // namespace
}  // namespace merlinox
