#pragma once
#include <cstdio>
#include <string_view>

#include "core/user_interface.h"

namespace merlinox::cli {

// Messages on stderr; questions answered by --yes or at the terminal. Without a
// terminal and without --yes every question is answered with Cancel, so that a script
// never hangs on a prompt and never agrees to something it was not told to.
class TerminalUi : public UserInterface {
public:
    TerminalUi(std::FILE* in, std::FILE* out, bool assumeYes, bool interactive);

    // Quiet: a confirmation answered by --yes is not shown; errors (Retry/Cancel among
    // them) still are, and so is a question refused for want of a terminal, whose
    // refusal is the result.
    void SetQuiet(bool quiet) { quiet_ = quiet; }

    int ShowBox(BoxKind kind, std::string_view text) override;
    void Beep() override;
    bool AnswersUnattended() const override { return assumeYes_; }

private:
    int AskAtTerminal(BoxKind kind);

    std::FILE* in_;
    std::FILE* out_;
    bool assumeYes_;
    bool interactive_;
    bool quiet_ = false;
};

}  // namespace merlinox::cli
