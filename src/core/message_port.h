#pragma once
#include <string_view>

#include "core/message_buffer.h"

namespace merlinox::inline core {

// The message helpers as every layer sees them. The application implements them (the
// beep before a box when "MessageBeap" is on, the file-error texts); the layers below
// only know this port, so that none of them depends on the application shell.
class MessagePort {
public:
    virtual ~MessagePort() = default;
    virtual void ShowInfo(std::string_view text) = 0;
    virtual int AskRetryCancel(std::string_view text) = 0;  // kIdRetry or kIdCancel
    virtual int AskOkCancel(std::string_view text) = 0;     // kIdOk or kIdCancel
    // A box without icon and without beep (file-error report, port-driver notices).
    virtual void ShowPlain(std::string_view text) = 0;
    // The file-error report for a failed open, read or write of path, with the error
    // number of the failed call (errno). The path is shown as given.
    virtual void ShowFileError(std::string_view path, int errorNumber) = 0;
};

// What every layer needs to report: the port and the shared buffer messages are
// composed in. The link's and the operations' contexts build on it.
struct MessageContext {
    explicit MessageContext(MessagePort& port) : messages(&port) {}
    MessageContext(const MessageContext&) = delete;
    MessageContext& operator=(const MessageContext&) = delete;

    MessagePort* messages;  // never null
    MessageBuffer messageBuffer;
};

inline void ShowInfo(MessageContext& ctx, std::string_view text) { ctx.messages->ShowInfo(text); }
inline int AskRetryCancel(MessageContext& ctx, std::string_view text) {
    return ctx.messages->AskRetryCancel(text);
}
inline int AskOkCancel(MessageContext& ctx, std::string_view text) {
    return ctx.messages->AskOkCancel(text);
}
inline void ShowPlain(MessageContext& ctx, std::string_view text) { ctx.messages->ShowPlain(text); }
inline void ShowFileError(MessageContext& ctx, std::string_view path, int errorNumber) {
    ctx.messages->ShowFileError(path, errorNumber);
}

}  // namespace merlinox::inline core
