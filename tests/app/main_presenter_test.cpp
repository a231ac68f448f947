#include "app/main_presenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "config/ini_file.h"
#include "sim/board_sim.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"
#include "support/scripted_view.h"

namespace merlinox::testing {
namespace {

namespace fs = std::filesystem;

// A library line; the fuse columns are lock fixed, then default and fixed bits of low,
// high and ext.
std::string Device(const std::string& name, const std::string& id, const std::string& sub,
                   const std::string& mode, const std::string& fuses, const char* flag = "Y") {
    return name + ";DIP28;12000;5000;4500;9000;9000;8192;512;0x1E;" + id + ";" + sub + ";0;" +
           mode + ";READFUSE;0;0;32;4;0;0;2;" + fuses + ";" + flag + "\r\n";
}

const std::string kLibrary =
    ":Atmel;Y\r\n" +
    Device("ATmega8", "0x93", "0x07", "SPI1", "0xFC;0xE1;0x00;0xD9;0x00;0xFF;0xFF") +
    Device("ATtiny12", "0x90", "0x05", "PAR3", "0xFC;0x52;0x00;0xFF;0xFF;0xFF;0xFF") +
    "Broken;DIP28;Y\r\n" +  // left out of the list, but counted by "DeviceIndex"
    Device("ATmega88", "0x93", "0x0A", "SPI1", "0xFC;0x62;0x00;0xDF;0x00;0xF9;0xF8") +
    Device("ATtiny11", "0x90", "0x04", "PAR3", "0xFC;0xFC;0xE0;0xFF;0xFF;0xFF;0xFF") +
    ":Leer;Y\r\n" +
    Device("Inactive", "0x93", "0x07", "SPI1", "0xFC;0xE1;0x00;0xD9;0x00;0xFF;0xFF", "N") +
    ":Andere;Y\r\n" +
    Device("AT90S2313", "0x91", "0x01", "SPI1", "0xF9;0xFF;0xFF;0xFF;0xFF;0xFF;0xFF");

// The window's logic started in a scratch directory holding the library and configuration.
struct Window {
    ScratchDir dir;
    fs::path previousDirectory = fs::current_path();
    ScriptedUi ui;
    AppContext ctx{ui};
    ScriptedView view;
    ScriptedFileDialogs dialogs;
    ScriptedBusyMarker busy;
    ScriptedSettingsDialog settingsDialog;
    sim::SimBoard board;  // its clock advances with every port access
    MainPresenter presenter{ctx, MainPorts{view, dialogs, busy, settingsDialog},
                            [this](Context& c) { c.port = &board; }};

    explicit Window(const std::string& ini = "", sim::BoardFaults faults = {}) : board(faults) {
        dir.Write("at90list.csv", kLibrary);
        if (!ini.empty()) dir.Write("pendrake.ini", ini);
        fs::current_path(dir.Dir());
    }
    ~Window() { fs::current_path(previousDirectory); }

    std::string Ini(std::string_view section, std::string_view key) {
        return ReadProfileString(dir.Path("pendrake.ini"), section, key, "<none>");
    }
};

TEST(StartUp, WithTheBoardFoundShowsTheStoredPlaceAndDeviceAndWaits) {
    Window w("[Kestrel INI-Section]\r\nX-Koord=40\r\nY-Koord=30\r\nDeviceIndex=3\r\n");
    w.presenter.Initialise();
    EXPECT_EQ(w.view.left, 40);
    EXPECT_EQ(w.view.top, 30);
    EXPECT_TRUE(w.ui.shown.empty()) << w.ui.Texts()[0];
    EXPECT_EQ(w.view.Items(kDeviceList),
              (std::vector<std::string>{"ATmega8", "ATtiny12", "ATmega88", "ATtiny11"}));
    EXPECT_EQ(w.view.SelectedIndex(kDeviceList), 2);
    EXPECT_EQ(w.view.Text(1035), "BODLEVEL0");  // the panel shows the ATmega88
    EXPECT_EQ(w.view.Text(kStatusLine), "Warte auf Eingaben");
}

// Attempt, dialog, attempt, dialog, attempt, demo message, save.
TEST(StartUp, BoardAbsentAsksForSettingsBetweenAttemptsThenGoesDemo) {
    Window w("[Hardware]\r\nSearchHardware=3\r\n", sim::BoardFaults{.noBoard = true});
    std::vector<sim::SimTime> searchedAtDialog;
    w.settingsDialog.onOpen = [&] { searchedAtDialog.push_back(w.board.Now()); };
    w.settingsDialog.AnswerOk([](SettingsDialogFields& f) { f.port = "0x278"; });
    w.settingsDialog.AnswerCancel();
    w.presenter.Initialise();

    ASSERT_EQ(searchedAtDialog.size(), 2u);
    EXPECT_GT(searchedAtDialog[1], searchedAtDialog[0]);
    EXPECT_EQ(w.ctx.link.dataPort, 0x278);  // the corrected port was searched next
    const auto texts = w.ui.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(),
                         "Kann Hardware nicht finden !\n\nProgramm geht in den Demomodus."),
              1);
    EXPECT_TRUE(w.ctx.link.demoMode);
    EXPECT_EQ(w.Ini("Hardware", "PortAdress"), "278");  // saved when giving up
}

// Stored indexes beyond the lists fall back to the first entry; placeholders stand in
// for an empty manufacturer and a missing library.
TEST(Lists, FallBackToTheFirstEntryOrAPlaceholder) {
    Window w("[Kestrel INI-Section]\r\nManufIndex=5\r\nDeviceIndex=5\r\n");
    w.presenter.Initialise();
    EXPECT_EQ(w.view.SelectedIndex(kManufacturerList), 0);
    EXPECT_EQ(w.ctx.settings.deviceIndex, 0);
    EXPECT_EQ(w.ctx.device.name, "ATmega8");
    w.view.UserSelects(kManufacturerList, 1);
    w.presenter.OnManufacturerSelected();
    EXPECT_EQ(w.view.Items(kDeviceList), std::vector<std::string>{"Keine Bausteine"});

    Window missing;
    fs::remove(missing.dir.Path("at90list.csv"));
    missing.presenter.Initialise();
    EXPECT_EQ(missing.view.Items(kManufacturerList), std::vector<std::string>{"Keine Hersteller"});
    EXPECT_TRUE(missing.view.Items(kDeviceList).empty());
}

TEST(DeviceSelection, SavesThePreviousDeviceAndWritesTheNewIndexAtOnce) {
    Window w;
    w.presenter.Initialise();
    w.view.UserChecks(kLock1Box, true);
    w.presenter.OnFuseBoxClicked(kLock1Box);
    w.view.UserChecks(kFfSaveBox, true);
    w.presenter.OnOptionClicked(kFfSaveBox);

    w.view.UserSelects(kDeviceList, 2);
    w.presenter.OnDeviceSelected();
    EXPECT_EQ(w.Ini("ATmega8", "LockBits"), "254");
    EXPECT_EQ(w.Ini("ATmega8", "FFSave"), "1");
    EXPECT_EQ(w.Ini("Kestrel INI-Section", "DeviceIndex"), "3");
    EXPECT_EQ(w.ctx.device.name, "ATmega88");
    EXPECT_FALSE(w.view.IsChecked(kLock1Box));  // the ATmega88's own settings

    // Another manufacturer saves the ATmega88 in its turn.
    w.view.UserChecks(kLock1Box, true);
    w.presenter.OnFuseBoxClicked(kLock1Box);
    w.view.UserSelects(kManufacturerList, 2);
    w.presenter.OnManufacturerSelected();
    EXPECT_EQ(w.Ini("ATmega88", "LockBits"), "254");
    EXPECT_EQ(w.Ini("Kestrel INI-Section", "ManufIndex"), "2");
    EXPECT_EQ(w.view.Items(kDeviceList), std::vector<std::string>{"AT90S2313"});
}

TEST(FuseButtons, StandardRestoresTheDeviceDefaultsWithFixedBits) {
    Window w("[Kestrel INI-Section]\r\nDeviceIndex=4\r\n");
    w.presenter.Initialise();
    ASSERT_EQ(w.ctx.device.name, "ATtiny11");
    for (const int id : {int{kLock1Box}, int{kLock2Box}, 1027, 1031}) {
        w.view.UserChecks(id, !w.view.IsChecked(id));
        w.presenter.OnFuseBoxClicked(id);
    }
    ASSERT_NE(w.ctx.settings.fuseLow, 0xFC);
    w.presenter.OnStandardButton();
    EXPECT_EQ(w.ctx.settings.lockBits, 0xFF);
    EXPECT_EQ(w.ctx.settings.fuseLow, 0xFC);  // default 0xFC, fixed bits 0xE0 already set
    EXPECT_TRUE(w.view.IsChecked(1027));
    EXPECT_FALSE(w.view.IsChecked(1031));
}

TEST(WindowPosition, FollowsMovesAndIgnoresMinimiseAndMaximise) {
    Window w;
    w.presenter.Initialise();
    w.presenter.OnMoved(100, 200);
    w.presenter.OnMoved(-32000, -32000);  // where a minimise puts the window
    w.presenter.OnMinimised();
    EXPECT_EQ(w.ctx.settings.xKoord, 100);
    w.presenter.OnMoved(0, 0);
    w.presenter.OnMaximised();
    EXPECT_EQ(w.ctx.settings.xKoord, 100);
    EXPECT_EQ(w.view.left, 100);
}

TEST(Close, RefusedWhileAnOperationRunsWithoutAskingOrSaving) {
    Window w;
    w.presenter.Initialise();
    const std::string saved = w.dir.Read("pendrake.ini");
    w.busy.foreignTitles.insert("PendrakeDevil");
    w.view.MoveTo(321, 123);
    EXPECT_FALSE(w.presenter.OnCloseRequest());
    EXPECT_TRUE(w.ui.shown.empty());
    EXPECT_EQ(w.dir.Read("pendrake.ini"), saved);
}

}  // namespace
}  // namespace merlinox::testing
