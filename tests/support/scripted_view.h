#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/settings_dialog.h"
#include "core/main_view.h"

namespace merlinox::testing {

// The main window without a display: it keeps each control's text, enabled and
// checked state, list and progress values as the Qt window would, and writes every
// text it is given into a journal so that tests can check the order of what a user
// saw. Controls start as the window creates them: enabled, with their first texts.
class ScriptedView : public MainView {
public:
    struct Control {
        std::string text;
        bool enabled = true;
        bool checked = false;
        std::vector<std::string> items;
        int selected = -1;
    };

    ScriptedView();

    void SetText(int id, std::string_view text) override {
        At(id).text = text;
        journal.push_back("text " + std::to_string(id) + " " + std::string(text));
    }
    std::string Text(int id) const override { return Get(id).text; }
    void Enable(int id, bool enabled) override { At(id).enabled = enabled; }
    bool IsEnabled(int id) const override { return Get(id).enabled; }
    void SetChecked(int id, bool checked) override { At(id).checked = checked; }
    bool IsChecked(int id) const override { return Get(id).checked; }
    void ResetList(int id) override {
        At(id).items.clear();
        At(id).selected = -1;
    }
    void AppendToList(int id, std::string_view text) override { At(id).items.emplace_back(text); }
    void SelectInList(int id, int index) override {
        const bool inside = index >= 0 && static_cast<std::size_t>(index) < Get(id).items.size();
        At(id).selected = inside ? index : -1;
    }
    int SelectedIndex(int id) const override { return Get(id).selected; }
    void SetProgressRange(int id, int, int) override { At(id); }
    void SetProgressPosition(int id, int) override { At(id); }
    void SetTitle(std::string_view) override {}
    void MoveTo(int x, int y) override {
        left = x;
        top = y;
    }
    int Left() const override { return left; }
    int Top() const override { return top; }
    void Redraw() override {}

    // What a user does before a handler runs: the box changes its own state, the list
    // its selection.
    void UserChecks(int id, bool checked) { At(id).checked = checked; }
    void UserSelects(int id, int index) { At(id).selected = index; }

    const Control& Get(int id) const;
    const std::vector<std::string>& Items(int id) const { return Get(id).items; }

    std::vector<std::string> journal;  // "text <id> <text>" for each SetText
    int left = 0;
    int top = 0;

private:
    Control& At(int id);

    std::map<int, Control> controls_;
};

// File dialogs that answer from a queue (nothing: the user cancelled) and remember
// what they proposed.
class ScriptedFileDialogs : public FileDialogs {
public:
    struct Asked {
        int filterIndex;
        std::string initialDirectory;
        std::string initialName;
    };

    std::optional<FileDialogChoice> Open(const FileDialogRequest& r) override { return Next(r); }
    std::optional<FileDialogChoice> Save(const FileDialogRequest& r) override { return Next(r); }

    void Answer(std::optional<FileDialogChoice> choice) { answers.push_back(std::move(choice)); }

    std::deque<std::optional<FileDialogChoice>> answers;
    std::vector<Asked> asked;

private:
    std::optional<FileDialogChoice> Next(const FileDialogRequest& request);
};

// The busy marker between processes, simulated: titles of other programs' windows
// are listed in foreignTitles.
class ScriptedBusyMarker : public BusyMarker {
public:
    std::string Create(int, int) override {
        if (!refusal.empty()) return refusal;
        own = true;
        ++created;
        return {};
    }
    void Destroy() override { own = false; }
    bool BusyWindowExists() override { return WindowTitledExists(kBusyWindowTitle); }
    bool WindowTitledExists(std::string_view title) override {
        return (own && title == kBusyWindowTitle) || foreignTitles.contains(title);
    }

    std::set<std::string, std::less<>> foreignTitles;
    std::string refusal;  // when set, Create cannot mark the operation and says this
    bool own = false;
    int created = 0;
};

// The settings dialog with a scripted user: each answer is what the user does next
// while the dialog is open, either OK after editing the fields, or Cancel (nothing).
// A refused OK keeps the dialog open for the next answer, as the real dialog does; with
// no answers left the user cancels.
class ScriptedSettingsDialog : public SettingsDialogView {
public:
    using Edit = std::function<void(SettingsDialogFields&)>;

    std::optional<SettingsDialogValues> Run(const SettingsDialogFields& fields) override;

    void AnswerOk(Edit edit = {}) { answers.push_back(std::move(edit)); }
    void AnswerCancel() { answers.push_back(std::nullopt); }

    std::deque<std::optional<Edit>> answers;
    std::vector<SettingsDialogFields> opened;  // the fields each opening showed
    std::vector<FieldRefusal> refusals;
    // Called each time the dialog opens, so that a test can note when it happened.
    std::function<void()> onOpen;
};

}  // namespace merlinox::testing
