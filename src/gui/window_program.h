#pragma once
#include <memory>
#include <string>

#include "app/app_context.h"
#include "app/busy_lock_file.h"
#include "app/main_presenter.h"
#include "app/operation_handlers.h"
#include "gui/desktop_busy_marker.h"
#include "gui/main_window.h"
#include "gui/qt_file_dialogs.h"
#include "gui/qt_user_interface.h"
#include "gui/settings_dialog_window.h"
#include "gui/simulated_socket.h"
#include "gui/window_options.h"
#include "session/board_connection.h"

namespace merlinox::gui {

// Everything the window program is made of, built and wired together: the context
// with its Qt message boxes, the main window, the dialogs, the busy marker, the board
// connection, the presenter and the operation handlers. Each control id is bound to
// its handler here and nowhere else.
class WindowProgram {
public:
    explicit WindowProgram(WindowOptions options);
    ~WindowProgram();
    WindowProgram(const WindowProgram&) = delete;
    WindowProgram& operator=(const WindowProgram&) = delete;

    // The start-up of the window (before it is shown), then the chip in a simulated
    // socket.
    void Start();

    QtUserInterface ui;
    AppContext ctx{ui};
    MainWindow window;
    QtFileDialogs dialogs;
    DesktopBusyMarker busy;
    QtSettingsDialogView settingsDialog;
    session::BoardConnection connection;
    MainPresenter presenter;
    OperationHandlers handlers;
    std::unique_ptr<SimulatedSocket> socket;  // only on the simulated board

private:
    void Wire();
    void DeviceChanged();
    void OpenBoard(Context& c);

    WindowOptions options_;
};

}  // namespace merlinox::gui
