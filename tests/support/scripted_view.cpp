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

void ScriptedView::SetText(int id, std::string_view text) {
    At(id).text = text;
    Log("text " + std::to_string(id) + " " + std::string(text));
}

std::string ScriptedView::Text(int id) const { return Get(id).text; }

void ScriptedView::Enable(int id, bool enabled) {
    At(id).enabled = enabled;
    Log((enabled ? "enable " : "disable ") + std::to_string(id));
}

bool ScriptedView::IsEnabled(int id) const { return Get(id).enabled; }

void ScriptedView::SetChecked(int id, bool checked) {
    At(id).checked = checked;
    Log((checked ? "check " : "uncheck ") + std::to_string(id));
}

bool ScriptedView::IsChecked(int id) const { return Get(id).checked; }

void ScriptedView::ResetList(int id) {
    Control& list = At(id);
    list.items.clear();
    list.selected = -1;
    Log("reset " + std::to_string(id));
}

void ScriptedView::AppendToList(int id, std::string_view text) {
    At(id).items.emplace_back(text);
    Log("append " + std::to_string(id) + " " + std::string(text));
}

void ScriptedView::SelectInList(int id, int index) {
    Control& list = At(id);
    const bool inside = index >= 0 && static_cast<std::size_t>(index) < list.items.size();
    list.selected = inside ? index : -1;
    Log("select " + std::to_string(id) + " " + std::to_string(index));
}

int ScriptedView::SelectedIndex(int id) const { return Get(id).selected; }

void ScriptedView::SetProgressRange(int id, int low, int high) {
    Control& bar = At(id);
    bar.rangeLow = low;
    bar.rangeHigh = high;
    Log("range " + std::to_string(low) + " " + std::to_string(high));
}

void ScriptedView::SetProgressPosition(int id, int position) {
    At(id).position = position;
    Log("position " + std::to_string(position));
}

void ScriptedView::SetTitle(std::string_view text) {
    title = text;
    Log("title " + title);
}

void ScriptedView::MoveTo(int x, int y) {
    left = x;
    top = y;
    Log("move " + std::to_string(x) + " " + std::to_string(y));
}

void ScriptedView::Redraw() {
    ++redraws;
    Log("redraw");
}

std::optional<FileDialogChoice> ScriptedFileDialogs::Open(const FileDialogRequest& request) {
    return Next(false, request);
}

std::optional<FileDialogChoice> ScriptedFileDialogs::Save(const FileDialogRequest& request) {
    return Next(true, request);
}

std::optional<FileDialogChoice> ScriptedFileDialogs::Next(bool save,
                                                          const FileDialogRequest& request) {
    asked.push_back({save, std::string(request.filter), request.filterIndex,
                     request.initialDirectory, request.initialName,
                     std::string(request.defaultExtension), request.mustExist,
                     request.confirmOverwrite});
    if (answers.empty()) return std::nullopt;
    auto answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

void ScriptedBusyMarker::Create(int x, int y) {
    own = true;
    ++created;
    createdX = x;
    createdY = y;
}

void ScriptedBusyMarker::Destroy() {
    if (own) ++destroyed;
    own = false;
}

bool ScriptedBusyMarker::BusyWindowExists() {
    return own || WindowTitledExists(kBusyWindowTitle);
}

bool ScriptedBusyMarker::WindowTitledExists(std::string_view title) {
    if (own && title == kBusyWindowTitle) return true;
    return foreignTitles.find(title) != foreignTitles.end();
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
