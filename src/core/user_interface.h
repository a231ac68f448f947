#pragma once
#include <string_view>

namespace merlinox::inline core {

// Answers of the message boxes, numbered as the platform's dialog results so that
// callers can compare with the values the operations were written against.
enum BoxAnswer : int { kIdOk = 1, kIdCancel = 2, kIdRetry = 4 };

enum class BoxKind {
    Info,         // information icon, OK
    RetryCancel,  // information icon, Retry and Cancel
    OkCancel,     // information icon, OK and Cancel
    Plain,        // no icon, OK: the file-error report and the port-driver notices
};

// The user-interface port: how the core shows a message box and sounds the beep.
// The Qt window, the terminal and the scripted test double implement it. Closing a
// question box without a choice must answer kIdCancel.
class UserInterface {
public:
    virtual ~UserInterface() = default;
    virtual int ShowBox(BoxKind kind, std::string_view text) = 0;
    virtual void Beep() = 0;
    // Services waiting window events without blocking; a no-op where there are none.
    virtual void PumpMessages() {}
    // True where every question is answered without a person (kestrel-cli --yes): a
    // run that would ask once per cell then keeps its report short.
    virtual bool AnswersUnattended() const { return false; }
};

}  // namespace merlinox::inline core
