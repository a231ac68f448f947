#include "gui/qt_user_interface.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "gui/qt_text.h"

namespace merlinox::gui {

int QtUserInterface::ShowBox(BoxKind kind, std::string_view text) {
    QMessageBox box(parent_);
    box.setWindowTitle(kBoxTitle);
    box.setText(ToQt(text));
    box.setIcon(kind == BoxKind::Plain ? QMessageBox::NoIcon : QMessageBox::Information);
    switch (kind) {
    case BoxKind::Info:
    case BoxKind::Plain:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case BoxKind::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case BoxKind::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    if (auto* cancel = box.button(QMessageBox::Cancel)) cancel->setText("Abbrechen");
    if (auto* retry = box.button(QMessageBox::Retry)) retry->setText("Wiederholen");
    const int answer = box.exec();
    if (answer == QMessageBox::Ok) return kIdOk;
    if (answer == QMessageBox::Retry) return kIdRetry;
    // Cancel, and a box closed without a choice.
    return kind == BoxKind::Info || kind == BoxKind::Plain ? kIdOk : kIdCancel;
}

void QtUserInterface::Beep() { QApplication::beep(); }

void QtUserInterface::PumpMessages() { QApplication::processEvents(); }

}  // namespace merlinox::gui
