#include "cli/progress_line.h"

#include <algorithm>

namespace merlinox::cli {

namespace {

constexpr int kBarWidth = 30;
// The idle text of the status line: not worth a progress line of its own.
constexpr std::string_view kIdleStatus = "Warte auf Eingaben";

}  // namespace

ProgressLine::ProgressLine(std::FILE* out, bool terminal, bool quiet)
    : out_(out), terminal_(terminal), quiet_(quiet) {}

int ProgressLine::Percent() const {
    if (high_ <= 0) return position_ > 0 ? 100 : 0;
    return std::clamp(position_ * 100 / high_, 0, 100);
}

void ProgressLine::SetStatus(std::string_view text) {
    if (text == status_) return;
    Break();
    status_ = std::string(text);
    position_ = 0;
    lastPrintedTenth_ = -1;
    if (quiet_ || text == kIdleStatus) return;
    if (terminal_) {
        Draw();
    } else {
        std::fprintf(out_, "%s\n", status_.c_str());
        std::fflush(out_);
    }
}

void ProgressLine::SetRange(int high) {
    high_ = high;
    position_ = 0;
    lastPrintedTenth_ = -1;
}

void ProgressLine::SetPosition(int position) {
    position_ = position;
    if (quiet_ || status_.empty() || status_ == kIdleStatus) return;
    if (position == 0) {
        // The passes set the bar back to 0 when they end.
        Break();
        return;
    }
    if (terminal_) {
        Draw();
        return;
    }
    const int tenth = Percent() / 10;
    if (tenth > lastPrintedTenth_ && tenth > 0) {
        lastPrintedTenth_ = tenth;
        std::fprintf(out_, "%s: %d%%\n", status_.c_str(), tenth * 10);
        std::fflush(out_);
    }
}

void ProgressLine::Draw() {
    const int percent = Percent();
    const int filled = percent * kBarWidth / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    std::fprintf(out_, "\r\033[K%s [%s] %3d%%", status_.c_str(), bar.c_str(), percent);
    std::fflush(out_);
    lineOpen_ = true;
}

void ProgressLine::Break() {
    if (!lineOpen_) return;
    std::fputc('\n', out_);
    std::fflush(out_);
    lineOpen_ = false;
}

}  // namespace merlinox::cli
