#include "app/operation_handlers.h"

#include "app/data_file_choice.h"
#include "app/fuse_panel_view.h"
#include "config/data_file_paths.h"
#include "config/windows_path.h"
#include "core/context.h"
#include "core/message_port.h"
#include "devices/library_reader.h"
#include "files/elf_image.h"
#include "link/board_control.h"
#include "link/timing.h"
#include "link/transport.h"
#include "operations/blank_check.h"
#include "operations/erase.h"
#include "operations/firmware_fuses.h"
#include "operations/fuse_lock.h"
#include "operations/programming.h"
#include "operations/progress.h"
#include "operations/verify.h"

namespace merlinox::inline app {

namespace {

constexpr std::string_view kIdleStatus = "Warte auf Eingaben";
// Where the busy window appears, relative to the main window's stored position.
constexpr int kBusyOffsetX = 311;
constexpr int kBusyOffsetY = 103;

// An ELF file carries its EEPROM contents itself; the other formats have the "eep"
// companion beside them.
std::string EepromSource(const DataFilePaths& paths) {
    const std::string data = DataFileOnDisk(paths);
    return HasElfMagic(data) ? data : EepromFileOnDisk(paths);
}

}  // namespace

void MainViewProgress::SetStatusText(std::string_view text) { view_.SetText(kStatusLine, text); }

void MainViewProgress::SetProgressRange(std::uint32_t high) {
    view_.SetProgressRange(kProgressBar, 0, static_cast<int>(high));
}

void MainViewProgress::SetProgressPosition(std::uint32_t position) {
    view_.SetProgressPosition(kProgressBar, static_cast<int>(position));
}

void MainViewProgress::EnableCancelButton(bool enable) { view_.Enable(kCancelButton, enable); }

void MainViewProgress::Repaint() { view_.Redraw(); }

OperationHandlers::OperationHandlers(Context& ctx, MainView& view, FileDialogs& dialogs,
                                     BusyMarker& busy)
    : ctx_(ctx), view_(view), dialogs_(dialogs), busy_(busy), progress_(view) {
    ctx_.operation.view = &progress_;
    // The loader names its step ("Lese Daten") in the same status line.
    ctx_.files.showStatus = [this](std::string_view text) {
        view_.SetStatus(text);
        view_.Redraw();
    };
}

OperationHandlers::~OperationHandlers() {
    if (ctx_.operation.view == &progress_) ctx_.operation.view = nullptr;
    ctx_.files.showStatus = nullptr;
}

void OperationHandlers::LockControls() {
    // From here on a board that stops answering ends the operation after one message.
    ctx_.link.stopAfterTimeout = true;
    ctx_.link.boardLost = false;
    for (const int id : kLockedControls) view_.Enable(id, false);
    for (const auto& byte : kFuseBoxIds) {
        for (const int id : byte) view_.Enable(id, false);
    }
}

void OperationHandlers::UnlockControls() {
    for (const int id : kLockedControls) view_.Enable(id, true);
    // The fuse boxes come back as the current device has them.
    EnableFuses(ctx_, view_);
}

bool OperationHandlers::CreateBusyWindow() {
    const std::string problem =
        busy_.Create(ctx_.settings.xKoord + kBusyOffsetX, ctx_.settings.yKoord + kBusyOffsetY);
    if (problem.empty()) return true;
    // Unmarked, another program could start on the same board at the same time.
    ShowInfo(ctx_, "The operation was not started: " + problem);
    return false;
}

void OperationHandlers::CleanUp() {
    view_.Enable(kCancelButton, false);
    ctx_.operation.cancelRequested = 0;
    ctx_.link.stopAfterTimeout = false;
    ctx_.link.boardLost = false;
    view_.SetStatus(kIdleStatus);
    busy_.Destroy();
}

void OperationHandlers::OnCancelButton() { RequestCancel(ctx_); }

int OperationHandlers::OnBlankCheckButton() { return RunOperation(Operation::BlankCheck); }
int OperationHandlers::OnProgramButton() { return RunOperation(Operation::Program); }
int OperationHandlers::OnVerifyButton() { return RunOperation(Operation::Verify); }
int OperationHandlers::OnEraseButton() { return RunOperation(Operation::Erase); }

int OperationHandlers::OnReadFusesButton(bool keep) {
    chipFuses_ = ChipFuseBytes{};
    keepChipFuses_ = keep;
    return RunOperation(Operation::ReadFuses);
}

int OperationHandlers::RunOperation(Operation operation) {
    if (ctx_.link.demoMode) {
        ShowDemoMessage(ctx_);
        return kRefusedDemo;
    }
    if (busy_.BusyWindowExists()) return kRefusedBusy;
    if (!CreateBusyWindow()) return kRefusedBusy;
    int r = 0;
    if (operation == Operation::Program || operation == Operation::Verify) {
        if (ctx_.paths.fileName.empty()) r = ChooseDataFile(ctx_, view_, dialogs_);
        if (operation == Operation::Program) {
            // The data file is the directory of filePath with the name the field shows.
            const WindowsPathParts parts = SplitWindowsPath(ctx_.paths.filePath);
            SetDataFile(ctx_.paths, parts.drive + parts.directory + ctx_.paths.fileName);
        }
    }
    if (r == 0) r = LoadSelectedDevice(ctx_);
    // A paged mode with a page of 0 cells cannot be programmed: refused before anything
    // is locked or powered.
    if (r == 0 && operation == Operation::Program) r = CheckPageSizes(ctx_);
    if (r == 0) {
        LockControls();
        RaisePriority(ctx_);
        switch (operation) {
        case Operation::BlankCheck:
            r = BlanckCheck(ctx_);
            break;
        case Operation::Erase:
            r = EraseAVR(ctx_);
            break;
        case Operation::Program:
            r = RunProgram();
            break;
        case Operation::Verify:
            r = RunVerify();
            break;
        case Operation::ReadFuses:
            r = ReadFusesFromChip(ctx_, chipFuses_);
            if (r == 0 && keepChipFuses_) KeepChipFuses(ctx_, chipFuses_);
            break;
        }
        RestorePriority(ctx_);
        UnlockControls();
    }
    CleanUp();
    return r;
}

// "Brennen": flash, then the EEPROM companion, the fuses and the lock bits, each only
// while everything before succeeded. Fuse and lock bytes that an ELF file carries take
// the place of the panel's.
int OperationHandlers::RunProgram() {
    int r = ProgramFile(ctx_, DataFileOnDisk(ctx_.paths), 1, kFlash);
    if (ctx_.device.eepromBytes > 0 && r == 0) {
        r = ProgramFile(ctx_, EepromSource(ctx_.paths), 0, kEeprom);
    }
    if (r == 0) ApplyFirmwareFuses(ctx_);
    if (r == 0) r = ProgramFuseBits(ctx_);
    if (r == 0) r = ProgramLockBits(ctx_);
    PowerOff(ctx_);
    BoardOff(ctx_);
    if (r == 0) ShowInfo(ctx_, "Keine Fehler beim Brennen");
    return r;
}

// "Prüfen": flash, then the EEPROM companion when the flash matched.
int OperationHandlers::RunVerify() {
    int r = VerifyFile(ctx_, DataFileOnDisk(ctx_.paths), 1, kFlash);
    if (ctx_.device.eepromBytes > 0 && r == 0) {
        r = VerifyFile(ctx_, EepromSource(ctx_.paths), 0, kEeprom);
    }
    if (r == 0) ShowInfo(ctx_, "Keine Fehler beim Prüfen !");
    PowerOff(ctx_);
    BoardOff(ctx_);
    return r;
}

// "Sende Reset": the busy test comes before the demo test here, and the reset runs at
// normal priority without reloading the device.
int OperationHandlers::OnResetButton() {
    if (busy_.BusyWindowExists()) return kRefusedBusy;
    if (ctx_.link.demoMode) {
        ShowDemoMessage(ctx_);
        return kRefusedDemo;
    }
    if (!CreateBusyWindow()) return kRefusedBusy;
    view_.SetStatus("Schaltung Reset");
    LockControls();
    SendReset(ctx_);
    UnlockControls();
    CleanUp();
    return 0;
}

}  // namespace merlinox::inline app
