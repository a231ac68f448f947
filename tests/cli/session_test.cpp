#include "cli/session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_context.h"
#include "cli/device_listing.h"
#include "cli_test_support.h"
#include "core/message_port.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"

namespace merlinox::cli {
namespace {

using testing::Capture;
using testing::ScratchDir;
using testing::ScriptedUi;

std::string Device(const std::string& name, const std::string& code = "0x07",
                   const std::string& end = "\r\n") {
    return name + ";DIP28;12000;5000;4500;9000;9000;8192;512;0x1E;0x93;" + code +
           ";0;SPI1;READFUSE;0;0;32;4;0;0;2;0xFC;0xE1;0x00;0xD9;0x00;0xFF;0xFF;Y" + end;
}

// Without a library there is nothing to run; without a terminal and without --yes a
// question is cancelled, never agreed to. (Which device the configuration names is kept
// across runs in ChipCommands.SeparateRunsSeeTheSameChipAndKeepTheDeviceSettings.)
TEST(Session, LoadsConfigurationAndLibraryOfTheCurrentDirectory) {
    ScratchDir dir;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Dir());
    Capture missing, messages;
    EXPECT_EQ(Session(GlobalOptions{}, stdin, missing.file(), false).LoadConfiguration(), 13);
    EXPECT_NE(missing.Text().find("Kann Bauteilbibliothek nicht öffnen !\n"), std::string::npos);
    dir.Write("at90list.csv", ":Atmel;Y\r\n" + Device("First"));
    Session session(GlobalOptions{}, stdin, messages.file(), false);
    EXPECT_EQ(session.LoadConfiguration(), 0);
    EXPECT_EQ(AskOkCancel(session.ctx(), "Weiter?"), kIdCancel);
    EXPECT_EQ(messages.Text(), "Weiter?\n[Abbrechen]\n");
    std::filesystem::current_path(previous);
}

// Every active line is numbered, a broken one says why, the selection is marked; a last
// line without its line end is listed as inactive with the reason.
TEST(DeviceListing, NumbersEveryActiveLineMarksTheSelectionAndSaysWhyALineIsInactive) {
    ScratchDir dir;
    ScriptedUi ui;
    AppContext ctx(ui);
    ctx.library.libraryPath =
        dir.Write("at90list.csv", ":Atmel;Y\r\n" + Device("A0") + Device("Broken", "0x02") +
                                      ":Leer;Y\r\n:Other;Y\r\n" + Device("O0") +
                                      Device("L\xE4st", "0x07", ""));
    ctx.settings.manufIndex = 2;
    ctx.settings.deviceIndex = 0;
    Capture out;
    EXPECT_EQ(PrintLibrary(ctx, out.file()), 0);
    EXPECT_EQ(
        out.Text(),
        "Device library " + ctx.library.libraryPath +
            "\n\n"
            "   0  Atmel\n"
            "      0  A0\n"
            "      1  (line not usable, result 13)\n"
            "\n   1  Leer\n"
            "         (no devices)\n"
            "\n*  2  Other\n"
            "   *  0  O0\n"
            "\nInactive: Läst\n  The last line of the file has no line end, so its flag is the "
            "character before its last one (';'), not 'Y'.\n");
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Devicecode 0x9302 fehlt in ReadCSV"});
}

}  // namespace
}  // namespace merlinox::cli
