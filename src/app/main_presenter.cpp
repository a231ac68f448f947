#include "app/main_presenter.h"

#include "app/device_configuration.h"
#include "app/device_lists.h"
#include "app/fuse_panel_view.h"
#include "app/library_location.h"
#include "app/version_info.h"
#include "config/configuration.h"
#include "config/windows_path.h"
#include "core/context.h"
#include "core/device_record.h"
#include "core/message_port.h"
#include "devices/fuse_defaults.h"
#include "files/data_loader.h"
#include "link/board_control.h"

namespace merlinox::inline app {

namespace {

// The running program's own file, wherever it was started from: its version block
// names the version in the title.
constexpr const char* kProgramFile = "/proc/self/exe";

}  // namespace

bool MayStart(BusyMarker& busy) {
    if (busy.BusyWindowExists()) return false;
    return !busy.WindowTitledExists(kProgramName);
}

MainPresenter::MainPresenter(Context& ctx, MainPorts ports, PortSetup setupPortAccess)
    : ctx_(ctx), ports_(ports), setupPortAccess_(std::move(setupPortAccess)) {}

void MainPresenter::Initialise() {
    MainView& view = ports_.view;
    VersionInfo version;
    version.Load(kProgramFile);
    view.SetTitle(WindowTitleFor(version));

    ctx_.iniPath = WorkingDirectoryFile(kIniFileName);
    ctx_.library.libraryPath = LibraryFileFor("");
    LoadConfiguration(ctx_);

    previousX_ = ctx_.settings.xKoord;
    previousY_ = ctx_.settings.yKoord;
    view.MoveTo(ctx_.settings.xKoord, ctx_.settings.yKoord);

    ctx_.link.demoMode = false;
    if (setupPortAccess_) setupPortAccess_(ctx_);
    if (!ctx_.link.demoMode) SearchBoard();

    if (FillManufacturerList(ctx_, view) == kOk) FillDeviceList(ctx_, view);
    OnDeviceSelected();

    view.SetChecked(kFfSaveBox, ctx_.settings.ffSave == 1);
    view.SetChecked(kTestChecksumBox, ctx_.settings.testChecksum == 1);
    view.SetChecked(kIdCheckBox, ctx_.settings.idCheck == 1);
    view.SetText(kFileNameField, ctx_.paths.fileName);

    ctx_.image.hexAddressBase = 0;
    view.Enable(kCancelButton, false);
    ctx_.operation.cancelRequested = 0;
}

// Up to "SearchHardware" attempts; between two of them the user may correct the port
// address or the time-out in the settings dialog.
void MainPresenter::SearchBoard() {
    int attempts = 0;
    while (DetectBoard(ctx_) != kOk) {
        ++attempts;
        if (attempts >= ctx_.settings.searchHardware) {
            ShowInfo(ctx_, "Kann Hardware nicht finden !\n\nProgramm geht in den Demomodus.");
            SaveConfiguration(ctx_);
            ctx_.link.demoMode = true;
            return;
        }
        ShowSettingsDialog(ctx_, ports_.settingsDialog);
    }
}

void MainPresenter::OnManufacturerSelected() {
    merlinox::OnManufacturerSelected(ctx_, ports_.view);
}

void MainPresenter::OnDeviceSelected() { merlinox::OnDeviceSelected(ctx_, ports_.view); }

void MainPresenter::OnOptionClicked(int controlId) {
    const bool checked = ports_.view.IsChecked(controlId);
    switch (controlId) {
    case kFfSaveBox:
        ctx_.settings.ffSave = checked ? 1 : 0;
        break;
    case kTestChecksumBox:
        ctx_.settings.testChecksum = checked ? 1 : 0;
        break;
    case kIdCheckBox:
        ctx_.settings.idCheck = checked ? 1 : 0;
        break;
    default:
        break;
    }
}

void MainPresenter::OnFuseBoxClicked(int controlId) {
    merlinox::OnFuseBoxClicked(ctx_, ports_.view, controlId);
}

void MainPresenter::OnStandardButton() {
    ApplyFuseDefaults(ctx_);
    EnableFuses(ctx_, ports_.view);
}

void MainPresenter::OnPrefsButton() { ShowSettingsDialog(ctx_, ports_.settingsDialog); }

void MainPresenter::OnMoved(int x, int y) {
    previousX_ = ctx_.settings.xKoord;
    previousY_ = ctx_.settings.yKoord;
    ctx_.settings.xKoord = x;
    ctx_.settings.yKoord = y;
}

void MainPresenter::OnMinimised() {
    ctx_.settings.xKoord = previousX_;
    ctx_.settings.yKoord = previousY_;
}

void MainPresenter::OnMaximised() {
    OnMinimised();
    ports_.view.MoveTo(previousX_, previousY_);
}

bool MainPresenter::OnCloseRequest() {
    if (ports_.busy.BusyWindowExists()) return false;
    ctx_.settings.xKoord = ports_.view.Left();
    ctx_.settings.yKoord = ports_.view.Top();
    SaveConfiguration(ctx_);
    ShowInfo(ctx_, "Baustein jetzt unbedingt\naus dem Sockel nehmen !!!");
    CloseInputFile(ctx_);
    return true;
}

}  // namespace merlinox::inline app
