#include "cli/interrupt.h"

namespace merlinox::cli {

namespace {

// SIGPIPE last: it is the one that keeps its handler (see the constructor).
constexpr int kSignals[InterruptAsCancel::kSignalCount] = {SIGINT, SIGHUP, SIGTERM, SIGPIPE};

// The only process-wide state of the tool: a signal handler can reach nothing else.
volatile std::sig_atomic_t interrupted = 0;

void NoteInterrupt(int) { interrupted = 1; }

}  // namespace

InterruptAsCancel::InterruptAsCancel() {
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i) {
        // No SA_RESTART: a read at the terminal returns, so its question is cancelled.
        // A closed pipe signals again with every write to it, and the default action
        // would end the tool with the voltages on: that one keeps its handler, and the
        // writes simply fail.
        action.sa_flags = kSignals[i] == SIGPIPE ? 0 : SA_RESETHAND;
        sigaction(kSignals[i], &action, &previous_[i]);
    }
}

InterruptAsCancel::~InterruptAsCancel() {
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
}

bool InterruptAsCancel::Consume() {
    if (interrupted == 0) return false;
    interrupted = 0;
    return true;
}

}  // namespace merlinox::cli
