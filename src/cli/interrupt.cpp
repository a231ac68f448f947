#include "cli/interrupt.h"

namespace merlinox::cli {

namespace {

constexpr int kSignals[] = {SIGINT, SIGHUP, SIGTERM};

// The only process-wide state of the tool: a signal handler can reach nothing else.
volatile std::sig_atomic_t interrupted = 0;

void NoteInterrupt(int) { interrupted = 1; }

}  // namespace

InterruptAsCancel::InterruptAsCancel() {
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read at the terminal returns, so its question is cancelled.
    action.sa_flags = SA_RESETHAND;
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous_[i]);
}

InterruptAsCancel::~InterruptAsCancel() {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
}

bool InterruptAsCancel::Consume() {
    if (interrupted == 0) return false;
    interrupted = 0;
    return true;
}

}  // namespace merlinox::cli
