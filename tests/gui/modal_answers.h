#pragma once
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace merlinox::testing {

// Answers the modal windows a test opens, as a user would: a message box with OK (else
// Retry), keeping its text; any other dialog with the next step given, or Cancel when
// none is left. Each window is answered once, when it comes on top.
class ModalAnswers {
public:
    using Step = std::function<void(QWidget* dialog)>;

    ModalAnswers() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    void Then(Step step) { steps_.push_back(std::move(step)); }

    std::vector<std::string> texts;  // of the message boxes, in order
    // Runs on every turn of the event loop, also inside a running pass.
    std::function<void()> onIdle;

private:
    void Poll() {
        if (onIdle) onIdle();
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last_.data()) return;
        last_ = modal;
        Step step = [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); };
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts.push_back(box->text().toStdString());
            const auto button = box->button(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Retry;
            step = [button](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(button)->click(); };
        } else if (!steps_.empty()) {
            step = std::move(steps_.front());
            steps_.pop_front();
        }
        // Outside the timer's slot: a step may open modal windows with loops of their own.
        QPointer<QWidget> target(modal);
        QMetaObject::invokeMethod(
            qApp,
            [step = std::move(step), target] {
                if (target) step(target);
            },
            Qt::QueuedConnection);
    }

    QTimer timer_;
    std::deque<Step> steps_;
    QPointer<QWidget> last_;  // null again once that window is gone
};

}  // namespace merlinox::testing
