#include "support/scripted_view.h"

#include <stdexcept>

namespace merlinox::testing {

ScriptedView::ScriptedView() {
    for (const ControlSpec& spec : kMainWindowControls) controls_[spec.id].text = spec.text;
}

ScriptedView::Control& ScriptedView::At(int id) {
    const auto found = controls_.find(id);
    // A presenter that addresses a control the window does not have is a fault the
    // tests must see, not a silently created control.
    if (found == controls_.end()) throw std::out_of_range("no control " + std::to_string(id));
    return found->second;
}

const ScriptedView::Control& ScriptedView::Get(int id) const {
    return const_cast<ScriptedView*>(this)->At(id);
}

std::optional<FileDialogChoice> ScriptedFileDialogs::Next(const FileDialogRequest& request) {
    asked.push_back({request.filterIndex, request.initialDirectory, request.initialName});
    if (answers.empty()) return std::nullopt;
    auto answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

std::optional<SettingsDialogValues> ScriptedSettingsDialog::Run(
    const SettingsDialogFields& fields) {
    opened.push_back(fields);
    if (onOpen) onOpen();
    SettingsDialogFields shown = fields;
    while (!answers.empty()) {
        auto answer = std::move(answers.front());
        answers.pop_front();
        if (!answer) return std::nullopt;
        if (*answer) (*answer)(shown);
        auto exchanged = ExchangeSettingsDialog(shown);
        if (auto* values = std::get_if<SettingsDialogValues>(&exchanged)) return *values;
        refusals.push_back(std::get<FieldRefusal>(exchanged));
    }
    return std::nullopt;
}

}  // namespace merlinox::testing
