#pragma once
#include <functional>
#include <string>

#include "config/settings_dialog.h"
#include "core/main_view.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline app {

// What the main window reaches the outside through.
struct MainPorts {
    MainView& view;
    FileDialogs& dialogs;
    BusyMarker& busy;
    SettingsDialogView& settingsDialog;
};

// The application's start-up test: false while an operation is running (a busy window
// exists, in this program or the sibling program) or while a window titled exactly
// "Merlinox" exists. Nothing is loaded and no window is shown then.
bool MayStart(BusyMarker& busy);

// The main window's logic, free of any toolkit: the start-up sequence, the lists, the
// option boxes, the fuse panel, the settings, the window position and the close
// request. The operation buttons ("Leertest", "Auslesen", "Brennen", "Prüfen",
// "Löschen", "Sende Reset", "Abbrechen") and "Neue Datei" have handlers of their own
// (operation_handlers.h, data_file_choice.h) over the same context and ports.
class MainPresenter {
public:
    // Prepares port access for the start-up: sets ctx.port, or ctx.link.demoMode when
    // the port cannot be used.
    using PortSetup = std::function<void(Context&)>;

    MainPresenter(Context& ctx, MainPorts ports, PortSetup setupPortAccess);
    MainPresenter(const MainPresenter&) = delete;
    MainPresenter& operator=(const MainPresenter&) = delete;

    // The window's initialisation, in this order: title with the version of the file
    // "kestrel" in the current directory, the paths of the configuration and the
    // library in the current directory, the configuration, the window position, port
    // access, the board search (with the settings dialog between attempts and demo
    // mode after the last), the lists with the selected device, the option boxes and
    // the file name, and the idle Cancel button.
    void Initialise();

    void OnManufacturerSelected();
    void OnDeviceSelected();
    // "Leerzellen speichern", "Checksumme prüfen" and "ID prüfen": the box's new state
    // goes into its setting at once.
    void OnOptionClicked(int controlId);
    void OnFuseBoxClicked(int controlId);
    // "Standard": the device's default fuse and lock bytes.
    void OnStandardButton();
    // "Prefs".
    void OnPrefsButton();

    // The window moved to (x, y) on the screen.
    void OnMoved(int x, int y);
    // The window was minimised or maximised: the position before that is kept.
    void OnMinimised();
    void OnMaximised();

    // False while an operation runs: the window stays open. Otherwise the position and
    // the configuration are saved, the socket reminder is shown, and the window may
    // close.
    bool OnCloseRequest();

    Context& context() { return ctx_; }
    MainView& view() { return ports_.view; }
    const MainPorts& ports() const { return ports_; }

private:
    void SearchBoard();

    Context& ctx_;
    MainPorts ports_;
    PortSetup setupPortAccess_;
    int previousX_ = 0;
    int previousY_ = 0;
};

}  // namespace merlinox::inline app
