#pragma once
#include "core/user_interface.h"

class QWidget;

namespace merlinox::gui {

// The message boxes as Qt message boxes over the main window, the beep as the
// desktop's bell, and the message pump as one round of the event loop.
class QtUserInterface : public UserInterface {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }

    int ShowBox(BoxKind kind, std::string_view text) override;
    void Beep() override;
    void PumpMessages() override;

private:
    QWidget* parent_ = nullptr;
};

}  // namespace merlinox::gui
