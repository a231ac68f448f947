#include "gui/window_program.h"

#include <cstdio>
#include <cstdlib>

#include "app/data_file_choice.h"
#include "core/message_port.h"
#include "session/sim_state.h"

namespace merlinox::gui {

WindowProgram::WindowProgram(WindowOptions options)
    : busy(options.lockDirectory),
      presenter(ctx, MainPorts{window, dialogs, busy, settingsDialog},
                [this](Context& c) { OpenBoard(c); }),
      handlers(ctx, window, dialogs, busy),
      options_(std::move(options)) {
    ui.SetParent(&window);
    dialogs.SetParent(&window);
    settingsDialog.SetParent(&window);
    Wire();
}

WindowProgram::~WindowProgram() {
    // The chip leaves the socket (into its state file) before the board goes.
    socket.reset();
}

void WindowProgram::OpenBoard(Context& c) {
    // What the set-up has to say goes to stderr; why the board is not usable also into a
    // box, since a window user sees no terminal.
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* notices = ::open_memstream(&text, &size);
    const int result = connection.Open(c, options_.board, notices != nullptr ? notices : stderr);
    if (notices != nullptr) {
        std::fclose(notices);
        const std::string said(text, size);
        std::free(text);
        std::fputs(said.c_str(), stderr);
        if ((c.link.demoMode || result != 0) && !said.empty()) ShowInfo(c, said);
    }
    if (result != 0) c.link.demoMode = true;
}

void WindowProgram::Start() {
    presenter.Initialise();
    window.ShowSimulatedBoard(connection.Simulator() != nullptr);
    if (sim::SimBoard* board = connection.Simulator()) {
        socket = std::make_unique<SimulatedSocket>(*board, session::SimStatePath(options_.simState),
                                                   options_.simChip);
        DeviceChanged();
    }
}

void WindowProgram::DeviceChanged() {
    if (socket) socket->Follow(ctx.device.deviceCode);
}

void WindowProgram::Wire() {
    window.Bind(kManufacturerList, [this] {
        presenter.OnManufacturerSelected();
        DeviceChanged();
    });
    window.Bind(kDeviceList, [this] {
        presenter.OnDeviceSelected();
        DeviceChanged();
    });
    for (const int id : {kFfSaveBox, kTestChecksumBox, kIdCheckBox}) {
        window.Bind(id, [this, id] { presenter.OnOptionClicked(id); });
    }
    for (const auto& byte : kFuseBoxIds) {
        for (const int id : byte) window.Bind(id, [this, id] { presenter.OnFuseBoxClicked(id); });
    }
    window.Bind(kStandardButton, [this] { presenter.OnStandardButton(); });
    window.Bind(kPrefsButton, [this] { presenter.OnPrefsButton(); });
    window.Bind(kNewFileButton, [this] { ChooseDataFile(ctx, window, dialogs); });

    window.Bind(kBlankCheckButton, [this] { handlers.OnBlankCheckButton(); });
    window.Bind(kReadOutButton, [this] { handlers.OnReadOutButton(); });
    window.Bind(kProgramButton, [this] { handlers.OnProgramButton(); });
    window.Bind(kVerifyButton, [this] { handlers.OnVerifyButton(); });
    window.Bind(kEraseButton, [this] { handlers.OnEraseButton(); });
    window.Bind(kResetButton, [this] { handlers.OnResetButton(); });
    window.Bind(kReadFusesButton, [this] { handlers.OnReadFusesButton(); });
    window.Bind(kCancelButton, [this] { handlers.OnCancelButton(); });

    window.closeRequested = [this] { return presenter.OnCloseRequest(); };
    window.moved = [this](int x, int y) { presenter.OnMoved(x, y); };
    window.minimised = [this] { presenter.OnMinimised(); };
    window.maximised = [this] { presenter.OnMaximised(); };
}

}  // namespace merlinox::gui
