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

// Runs the test body in dir as the current directory.
class InDirectory {
public:
    explicit InDirectory(const std::filesystem::path& dir)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

TEST(Session, LoadsConfigurationAndLibraryOfTheCurrentDirectory) {
    ScratchDir dir;
    InDirectory here(dir.Dir());
    Capture missing;
    Session empty(GlobalOptions{}, stdin, missing.file(), false);
    EXPECT_EQ(empty.LoadConfiguration(), 13);
    EXPECT_NE(missing.Text().find("Kann Bauteilbibliothek nicht öffnen !\n"), std::string::npos);

    dir.Write("at90list.csv", ":Atmel;Y\r\n" + Device("First") + Device("Second"));
    dir.Write("pendrake.ini",
              "[Kestrel INI-Section]\r\nDeviceIndex=1\r\n[Second]\r\nLockBits=252\r\n");
    Capture messages;
    Session session(GlobalOptions{}, stdin, messages.file(), false);
    EXPECT_EQ(session.LoadConfiguration(), 0);
    EXPECT_EQ(session.ctx().device.name, "Second");
    EXPECT_EQ(session.ctx().settings.lockBits, 0xFC);
    EXPECT_EQ(messages.Text(), "");
    // Without a terminal and without --yes a question is cancelled, never agreed to.
    EXPECT_EQ(AskOkCancel(session.ctx(), "Weiter?"), kIdCancel);
    EXPECT_EQ(messages.Text(), "Weiter?\n[Abbrechen]\n");
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
