#pragma once
#include <cstdint>

#include "core/message_buffer.h"

namespace merlinox::inline core {

class OperationView;

// The state every operation shares: the Cancel flag, the progress counting and the
// buffer the socket hint is composed in.
struct OperationState {
    // Set by the Cancel button (delivered through the message pump), tested by every
    // pass after each cell, cleared by the button handler's clean-up.
    int cancelRequested = 0;
    std::uint32_t progressDivisor = 1;  // cells per step of the bar, at least 1
    std::uint32_t progressCounter = 0;  // cells since the last step
    std::uint32_t progressPosition = 0;
    OperationView* view = nullptr;  // status line, bar and Cancel button; may be null
    MessageBuffer hint;
};

}  // namespace merlinox::inline core
