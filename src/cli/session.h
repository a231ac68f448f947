#pragma once
#include <cstdio>

#include "app/app_context.h"
#include "cli/busy_marker.h"
#include "cli/commands.h"
#include "cli/terminal_ui.h"

namespace merlinox::cli {

// What one run of the command-line tool holds: the terminal as user interface
// (messages on stderr, questions answered by --yes or at the terminal, Cancel without
// one), the context, and the configuration file and device library of the current
// directory. A command builds one, loads the configuration and works on ctx().
//
// A command that lets the user choose the device sets ctx().settings.manufIndex and
// deviceIndex after LoadConfiguration and calls LoadSelectedDevice.
class Session {
public:
    explicit Session(const GlobalOptions& options);
    // For tests: the given streams, and whether a user is there to answer questions.
    Session(const GlobalOptions& options, std::FILE* in, std::FILE* messages, bool interactive);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Context& ctx() { return ctx_; }

    // Marks the run as an operation on the board, in the lock file that the window and
    // other runs look at, until the session ends; a command that reaches the board
    // does this before it reads or changes anything. Empty, or why it could not (another
    // operation is running, or the lock is unusable): the command must not go on then.
    std::string MarkBusy() { return busy_.Create(0, 0); }

    // Reads "pendrake.ini" and the selected device, showing what is wrong on stderr;
    // the result of reading the selected device (0, or 13 when it could not be read).
    int LoadConfiguration();

private:
    TerminalUi ui_;
    AppContext ctx_;
    CliBusyMarker busy_{BusyLockFile::DefaultDirectory()};
};

}  // namespace merlinox::cli
