#pragma once
#include <string_view>

#include "core/main_view.h"
#include "core/operation_view.h"
#include "operations/fuse_read.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline app {

// The status line, the progress bar and the Cancel button of the main view, as the
// operations see them.
class MainViewProgress : public OperationView {
public:
    explicit MainViewProgress(MainView& view) : view_(view) {}
    void SetStatusText(std::string_view text) override;
    void SetProgressRange(std::uint32_t high) override;
    void SetProgressPosition(std::uint32_t position) override;
    void EnableCancelButton(bool enable) override;
    void Repaint() override;

private:
    MainView& view_;
};

// What the handlers return besides the operations' own codes.
enum HandlerRefusal : int {
    kRefusedBusy = 1,  // another operation is running: nothing was done, nothing shown;
                       // or the busy marker could not be made (that was shown)
    kRefusedDemo = 8,  // demo mode: the demo message was shown
};

// The operation buttons of the main window: "Leertest", "Auslesen", "Brennen",
// "Prüfen", "Löschen", "Sende Reset" and "Abbrechen". Each runs its operation in the
// frame every operation shares (refusals, busy marker, reloaded device, locked
// controls, raised priority, clean-up) and returns 0 or the code of the first failure
// (the window ignores it, the command line makes it its exit status).
class OperationHandlers {
public:
    OperationHandlers(Context& ctx, MainView& view, FileDialogs& dialogs, BusyMarker& busy);
    ~OperationHandlers();
    OperationHandlers(const OperationHandlers&) = delete;
    OperationHandlers& operator=(const OperationHandlers&) = delete;

    int OnBlankCheckButton();
    int OnProgramButton();
    int OnVerifyButton();
    int OnEraseButton();
    int OnReadOutButton();
    int OnResetButton();
    void OnCancelButton();
    // "Vom Chip lesen" on the fuse panel: reads the lock and fuse bytes from the chip.
    // With keep they become the device's settings, which the panel then shows.
    int OnReadFusesButton(bool keep = true);
    // What the last read found.
    const ChipFuseBytes& ChipFuses() const { return chipFuses_; }

    void LockControls();
    void UnlockControls();

private:
    enum class Operation { BlankCheck, Program, Verify, Erase, ReadFuses };

    int RunOperation(Operation operation);
    int RunProgram();
    int RunVerify();
    // False, after saying why, when the operation could not be marked as running.
    bool CreateBusyWindow();
    void CleanUp();

    Context& ctx_;
    MainView& view_;
    FileDialogs& dialogs_;
    BusyMarker& busy_;
    MainViewProgress progress_;
    ChipFuseBytes chipFuses_;
    bool keepChipFuses_ = true;
};

}  // namespace merlinox::inline app
