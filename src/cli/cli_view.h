#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/progress_line.h"
#include "core/main_view.h"
#include "core/user_interface.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::cli {

// The main window of the command line: it keeps the controls' states the way the
// window would, so that the presenter's handlers run unchanged, and shows the status
// line and the progress bar as a progress line on stderr.
class CliView : public MainView {
public:
    explicit CliView(ProgressLine& progress) : progress_(progress) {}

    void SetText(int id, std::string_view text) override;
    std::string Text(int id) const override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void SetChecked(int id, bool checked) override;
    bool IsChecked(int id) const override;
    void ResetList(int id) override;
    void AppendToList(int id, std::string_view text) override;
    void SelectInList(int id, int index) override;
    int SelectedIndex(int id) const override;
    void SetProgressRange(int id, int low, int high) override;
    void SetProgressPosition(int id, int position) override;
    void SetTitle(std::string_view) override {}
    void MoveTo(int, int) override {}
    int Left() const override { return 0; }
    int Top() const override { return 0; }
    void Redraw() override {}

    int ListSize(int id) const;

private:
    ProgressLine& progress_;
    std::map<int, std::string> texts_;
    std::map<int, bool> enabled_;
    std::map<int, bool> checked_;
    std::map<int, std::vector<std::string>> lists_;
    std::map<int, int> selected_;
};

// The file dialogs of the command line: the file named on the command line is the
// user's choice, with the filter index its format asks for.
class CliFileDialogs : public FileDialogs {
public:
    // filterIndex 0: keep the filter the dialog proposes.
    void Choose(std::string path, int filterIndex) {
        choice_ = FileDialogChoice{std::move(path), filterIndex};
    }
    std::optional<FileDialogChoice> Open(const FileDialogRequest& request) override;
    std::optional<FileDialogChoice> Save(const FileDialogRequest& request) override;

    // What the last dialog proposed, for the commands that report it.
    int proposedFilterIndex = 0;

private:
    std::optional<FileDialogChoice> choice_;
};

// The terminal's message boxes, with the progress line ended before each box. Its
// message pump delivers an interruption (see InterruptAsCancel) as a Cancel press.
class CliUserInterface : public UserInterface {
public:
    CliUserInterface(UserInterface& inner, ProgressLine& progress, Context& ctx)
        : inner_(inner), progress_(progress), ctx_(ctx) {}
    int ShowBox(BoxKind kind, std::string_view text) override {
        progress_.Break();
        return inner_.ShowBox(kind, text);
    }
    void Beep() override { inner_.Beep(); }
    void PumpMessages() override;
    bool AnswersUnattended() const override { return inner_.AnswersUnattended(); }

private:
    UserInterface& inner_;
    ProgressLine& progress_;
    Context& ctx_;
};

}  // namespace merlinox::cli
