#include "cli/cli_view.h"

#include <cstdio>

#include "cli/interrupt.h"
#include "operations/progress.h"

namespace merlinox::cli {

void CliView::SetText(int id, std::string_view text) {
    texts_[id] = std::string(text);
    if (id == kStatusLine) progress_.SetStatus(text);
}

std::string CliView::Text(int id) const {
    const auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second;
}

void CliView::Enable(int id, bool enabled) { enabled_[id] = enabled; }

bool CliView::IsEnabled(int id) const {
    const auto it = enabled_.find(id);
    return it == enabled_.end() || it->second;
}

void CliView::SetChecked(int id, bool checked) { checked_[id] = checked; }

bool CliView::IsChecked(int id) const {
    const auto it = checked_.find(id);
    return it != checked_.end() && it->second;
}

void CliView::ResetList(int id) {
    lists_[id].clear();
    selected_[id] = -1;
}

void CliView::AppendToList(int id, std::string_view text) { lists_[id].emplace_back(text); }

void CliView::SelectInList(int id, int index) {
    const int size = ListSize(id);
    selected_[id] = index >= 0 && index < size ? index : -1;
}

int CliView::SelectedIndex(int id) const {
    const auto it = selected_.find(id);
    return it == selected_.end() ? -1 : it->second;
}

int CliView::ListSize(int id) const {
    const auto it = lists_.find(id);
    return it == lists_.end() ? 0 : static_cast<int>(it->second.size());
}

void CliView::SetProgressRange(int id, int, int high) {
    if (id == kProgressBar) progress_.SetRange(high);
}

void CliView::SetProgressPosition(int id, int position) {
    if (id == kProgressBar) progress_.SetPosition(position);
}

std::optional<FileDialogChoice> CliFileDialogs::Open(const FileDialogRequest& request) {
    proposedFilterIndex = request.filterIndex;
    return choice_;
}

// Like a save dialog: no filter given keeps the one proposed, and a bare name gets the
// default extension.
std::optional<FileDialogChoice> CliFileDialogs::Save(const FileDialogRequest& request) {
    proposedFilterIndex = request.filterIndex;
    if (!choice_) return std::nullopt;
    FileDialogChoice choice = *choice_;
    if (choice.filterIndex <= 0) choice.filterIndex = request.filterIndex;
    const std::size_t slash = choice.path.find_last_of('/');
    const std::size_t dot = choice.path.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    if (!hasExtension && !request.defaultExtension.empty()) {
        choice.path += '.';
        choice.path += request.defaultExtension;
    }
    return choice;
}

void CliUserInterface::PumpMessages() {
    inner_.PumpMessages();
    if (InterruptAsCancel::Consume()) {
        progress_.Break();
        std::fputs("kestrel-cli: interrupted, cancelling the operation\n", stderr);
        RequestCancel(ctx_);
    }
}

}  // namespace merlinox::cli
