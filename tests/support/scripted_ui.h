#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/message_port.h"
#include "core/user_interface.h"

namespace merlinox::testing {

// A user interface that records every box and answers from a queue. With the queue
// empty a question is answered with Cancel, as a closed box would be. It shows the
// layers' messages itself, without the beep; a file error reads "Fehler beim Öffnen der
// Datei", the path and "errno N" (the application's texts are tested with it).
class ScriptedUi : public UserInterface, public MessagePort {
public:
    struct Shown {
        BoxKind kind;
        std::string text;
        bool beeped;  // a beep sounded right before this box
    };

    int ShowBox(BoxKind kind, std::string_view text) override;
    void Beep() override {
        ++beeps;
        beepPending_ = true;
    }
    void PumpMessages() override { ++pumps; }

    void ShowInfo(std::string_view text) override { ShowBox(BoxKind::Info, text); }
    int AskRetryCancel(std::string_view text) override {
        return ShowBox(BoxKind::RetryCancel, text) == kIdRetry ? kIdRetry : kIdCancel;
    }
    int AskOkCancel(std::string_view text) override {
        return ShowBox(BoxKind::OkCancel, text) == kIdOk ? kIdOk : kIdCancel;
    }
    void ShowPlain(std::string_view text) override { ShowBox(BoxKind::Plain, text); }
    void ShowFileError(std::string_view path, int errorNumber) override;

    void Answer(int answer) { answers.push_back(answer); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& box : shown) texts.push_back(box.text);
        return texts;
    }
    const Shown& Last() const { return shown.back(); }

    std::vector<Shown> shown;
    std::deque<int> answers;
    int beeps = 0;
    int pumps = 0;

private:
    bool beepPending_ = false;
};

}  // namespace merlinox::testing
