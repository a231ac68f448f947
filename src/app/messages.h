#pragma once
#include <string>
#include <string_view>

#include "core/message_port.h"
#include "core/settings.h"
#include "core/user_interface.h"

namespace merlinox::inline app {

// The message helpers as the application shows them: each box through the user
// interface, preceded by the beep when "MessageBeap" is on.
class StandardMessages final : public MessagePort {
public:
    StandardMessages(UserInterface& ui, const Settings& settings) : ui_(ui), settings_(settings) {}

    void ShowInfo(std::string_view text) override;
    int AskRetryCancel(std::string_view text) override;  // kIdRetry or kIdCancel
    int AskOkCancel(std::string_view text) override;     // kIdOk or kIdCancel
    // No icon and no beep (file-error report, port-driver notices).
    void ShowPlain(std::string_view text) override;
    void ShowFileError(std::string_view path, int errorNumber) override;

private:
    int Ask(BoxKind kind, std::string_view text);

    UserInterface& ui_;
    const Settings& settings_;
};

// The German text for an error number (errno), chosen by what the error means; an error
// without one reads "Unbekannter Fehler: " and the system's own text. Never empty.
std::string ErrorText(int errorNumber);

}  // namespace merlinox::inline app
