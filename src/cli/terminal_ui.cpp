#include "cli/terminal_ui.h"

#include <cctype>
#include <cstring>

namespace merlinox::cli {

TerminalUi::TerminalUi(std::FILE* in, std::FILE* out, bool assumeYes, bool interactive)
    : in_(in), out_(out), assumeYes_(assumeYes), interactive_(interactive) {}

int TerminalUi::ShowBox(BoxKind kind, std::string_view text) {
    const bool question = kind == BoxKind::RetryCancel || kind == BoxKind::OkCancel;
    const int yes = kind == BoxKind::RetryCancel ? kIdRetry : kIdOk;
    // A confirmation that --yes answers is no news; Retry/Cancel reports an error.
    if (kind == BoxKind::OkCancel && assumeYes_ && quiet_) return yes;
    std::fprintf(out_, "%.*s\n", static_cast<int>(text.size()), text.data());
    if (!question) return kIdOk;
    if (assumeYes_) {
        std::fprintf(out_, "%s\n", kind == BoxKind::RetryCancel ? "[Wiederholen]" : "[OK]");
        return yes;
    }
    if (!interactive_) {
        std::fprintf(out_, "[Abbrechen]\n");
        return kIdCancel;
    }
    return AskAtTerminal(kind);
}

int TerminalUi::AskAtTerminal(BoxKind kind) {
    const bool retry = kind == BoxKind::RetryCancel;
    for (;;) {
        std::fprintf(
            out_, retry ? "Wiederholen (w) oder Abbrechen (a)? " : "OK (o) oder Abbrechen (a)? ");
        std::fflush(out_);
        char line[64];
        if (std::fgets(line, sizeof line, in_) == nullptr) return kIdCancel;
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        if (c == 'a' || c == 'c' || c == 'n') return kIdCancel;
        if (retry && (c == 'w' || c == 'r')) return kIdRetry;
        if (!retry && (c == 'o' || c == 'j' || c == 'y')) return kIdOk;
    }
}

void TerminalUi::Beep() {
    if (interactive_) {
        std::fputc('\a', out_);
        std::fflush(out_);
    }
}

}  // namespace merlinox::cli
