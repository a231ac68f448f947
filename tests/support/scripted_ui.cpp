#include "support/scripted_ui.h"

#include <string>

namespace merlinox::testing {

int ScriptedUi::ShowBox(BoxKind kind, std::string_view text) {
    shown.push_back({kind, std::string(text), beepPending_});
    beepPending_ = false;
    if (kind == BoxKind::Info || kind == BoxKind::Plain) return kIdOk;
    if (answers.empty()) return kIdCancel;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedUi::ShowFileError(std::string_view path, int errorNumber) {
    ShowBox(BoxKind::Plain, "Fehler beim Öffnen der Datei\n\n" + std::string(path) + "\n\nerrno " +
                                std::to_string(errorNumber));
}

}  // namespace merlinox::testing
