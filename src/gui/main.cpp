// kestrel: the programmer's window.
#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

#include "app/main_presenter.h"
#include "gui/desktop_busy_marker.h"
#include "gui/window_options.h"
#include "gui/window_program.h"

namespace {

// Prints what the command line asked for; the status to end with.
int Tell(const merlinox::gui::WindowCommand& command) {
    std::fputs(command.text.c_str(), command.status == 0 ? stdout : stderr);
    return command.status;
}

}  // namespace

int main(int argc, char** argv) {
    merlinox::gui::WindowOptions options;
    // The version and the help need no display, so they come before the toolkit.
    if (merlinox::gui::AsksForTextOnly(argc, argv)) {
        QCoreApplication textOnly(argc, argv);
        return Tell(merlinox::gui::ParseWindowCommand(QCoreApplication::arguments(), options));
    }

    QApplication application(argc, argv);  // takes the toolkit's own options out of argv
    const merlinox::gui::WindowCommand command =
        merlinox::gui::ParseWindowCommand(QCoreApplication::arguments(), options);
    if (!command.openWindow) return Tell(command);

    // Not beside a running operation, nor beside a window titled like the program.
    merlinox::gui::DesktopBusyMarker probe(options.lockDirectory);
    if (!merlinox::MayStart(probe)) {
        // The window quits as it always has, but a lock file is nothing the user can
        // see: say why.
        if (probe.BusyWindowExists()) {
            std::fprintf(stderr,
                         "kestrel: another programmer operation is running (lock file %s, or "
                         "a busy window on the display); start the window again when it has "
                         "ended\n",
                         probe.LockPath().c_str());
        } else {
            std::fprintf(stderr, "kestrel: a Merlinox window is already open\n");
        }
        return 0;
    }

    merlinox::gui::WindowProgram program(std::move(options));
    program.Start();
    program.window.show();
    return QApplication::exec();
}
