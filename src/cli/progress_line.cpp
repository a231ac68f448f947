#include "cli/progress_line.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace merlinox::cli {

namespace {

constexpr int kBarWidth = 30;
// The idle text of the status line: not worth a progress line of its own.
constexpr std::string_view kIdleStatus = "Warte auf Eingaben";

std::string MinutesAndSeconds(double seconds) {
    const long whole = std::lround(std::max(seconds, 0.0));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* out, bool terminal, bool quiet, Clock clock)
    : out_(out), terminal_(terminal), quiet_(quiet), clock_(std::move(clock)) {
    StartClock();
}

double ProgressLine::SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void ProgressLine::StartClock() { stepStart_ = clock_(); }

bool ProgressLine::Shows() const { return !quiet_ && !status_.empty() && status_ != kIdleStatus; }

int ProgressLine::Percent() const {
    if (high_ <= 0) return position_ > 0 ? 100 : 0;
    return std::clamp(position_ * 100 / high_, 0, 100);
}

std::string ProgressLine::Timing() const {
    const double elapsed = clock_() - stepStart_;
    std::string text = MinutesAndSeconds(elapsed);
    if (high_ > 0 && position_ > 0 && position_ < high_) {
        // The cells of a pass take about the same time each.
        text += ", " + MinutesAndSeconds(elapsed * (high_ - position_) / position_) + " left";
    }
    return text;
}

void ProgressLine::SetStatus(std::string_view text) {
    if (text == status_) return;
    Break();
    if (verbose_ && Shows()) {
        std::fprintf(out_, "%s: done after %.1f s\n", status_.c_str(), clock_() - statusStart_);
    }
    status_ = std::string(text);
    position_ = 0;
    lastPrintedTenth_ = -1;
    StartClock();
    statusStart_ = stepStart_;
    if (!Shows()) return;
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
    StartClock();
}

void ProgressLine::SetPosition(int position) {
    position_ = position;
    if (!Shows()) return;
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
        std::fprintf(out_, "%s: %d%% (%s)\n", status_.c_str(), tenth * 10, Timing().c_str());
        std::fflush(out_);
    }
}

void ProgressLine::Draw() {
    const int percent = Percent();
    const int filled = percent * kBarWidth / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    std::fprintf(out_, "\r\033[K%s [%s] %3d%% %s", status_.c_str(), bar.c_str(), percent,
                 Timing().c_str());
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
