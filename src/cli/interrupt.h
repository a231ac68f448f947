#pragma once
#include <csignal>

namespace merlinox::cli {

// While a chip command runs, Ctrl-C, a closed terminal and a polite kill (SIGINT, SIGHUP,
// SIGTERM) act like the window's Cancel button: the pass stops at its next step and the
// operation's own clean-up takes the programming voltage off the chip and releases the
// board, instead of leaving the latches as they were. A question waiting at the terminal
// is answered with Cancel. A second signal ends the tool at once, the default way, in
// case the run no longer reaches a step.
class InterruptAsCancel {
public:
    InterruptAsCancel();
    ~InterruptAsCancel();
    InterruptAsCancel(const InterruptAsCancel&) = delete;
    InterruptAsCancel& operator=(const InterruptAsCancel&) = delete;

    // True once for each interruption since the last call.
    static bool Consume();

private:
    struct sigaction previous_[3] {};
};

}  // namespace merlinox::cli
