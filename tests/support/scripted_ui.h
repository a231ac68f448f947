#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "app/user_interface.h"

namespace merlinox::testing {

// A user interface that records every box and answers from a queue. With the queue
// empty a question is answered with Cancel, as a closed box would be.
class ScriptedUi : public UserInterface {
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
