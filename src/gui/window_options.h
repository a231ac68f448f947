#pragma once
#include <QStringList>

#include <string>

#include "app/busy_lock_file.h"
#include "session/board_connection.h"

namespace merlinox::gui {

struct WindowOptions {
    session::BoardOptions board;  // the same board choice as the command line's
    std::string simState;         // the simulated chip's state file
    std::string simChip;          // a part that stays in the simulated socket
    std::string lockDirectory = BusyLockFile::DefaultDirectory();
};

// What the window's command line asks for: to open the window, or only to print a text
// (the version, the help) or an error and end with the status given.
struct WindowCommand {
    bool openWindow = false;
    std::string text;  // for standard output, or for standard error when status != 0
    int status = 0;
};

// Reads the window's options (arguments as the program got them, the program first).
WindowCommand ParseWindowCommand(const QStringList& arguments, WindowOptions& options);

// True when the arguments ask only for a text (--version, --help), which needs no display.
bool AsksForTextOnly(int argc, char** argv);

}  // namespace merlinox::gui
