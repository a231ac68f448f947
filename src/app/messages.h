#pragma once
#include <string>
#include <string_view>

namespace merlinox {

struct Context;

// The message helpers. Each sounds the beep first when "MessageBeap" is on.
void ShowInfo(Context& ctx, std::string_view text);
int AskRetryCancel(Context& ctx, std::string_view text);  // kIdRetry or kIdCancel
int AskOkCancel(Context& ctx, std::string_view text);     // kIdOk or kIdCancel

// A box without icon and without beep (file-error report, port-driver notices).
void ShowPlain(Context& ctx, std::string_view text);

// The German text for an error number (errno), chosen by what the error means; an error
// without one reads "Unbekannter Fehler: " and the system's own text. Never empty.
std::string ErrorText(int errorNumber);

// The file-error report for a failed open, read or write of path, with the error
// number of the failed call (errno). The path is shown as given.
void ShowFileError(Context& ctx, std::string_view path, int errorNumber);

}  // namespace merlinox
