#pragma once
#include <csignal>

namespace merlinox::cli {

// While a chip command runs, Ctrl-C, a closed terminal, a polite kill and a closed
// output pipe (SIGINT, SIGHUP, SIGTERM, SIGPIPE) act like the window's Cancel button:
// the pass stops at its next step and the operation's own clean-up takes the
// programming voltage off the chip and releases the board, instead of leaving the
// latches as they were. The handler is in place for the whole run, the data file's
// load included. A question waiting at the terminal
// is answered with Cancel. A second signal ends the tool at once, the default way, in
// case the run no longer reaches a step (SIGPIPE excepted: it comes again with every
// write to the closed pipe).
class InterruptAsCancel {
public:
    static constexpr int kSignalCount = 4;

    InterruptAsCancel();
    ~InterruptAsCancel();
    InterruptAsCancel(const InterruptAsCancel&) = delete;
    InterruptAsCancel& operator=(const InterruptAsCancel&) = delete;

    // True once for each interruption since the last call.
    static bool Consume();

private:
    struct sigaction previous_[kSignalCount] {};
};

}  // namespace merlinox::cli
