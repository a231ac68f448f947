#pragma once
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace merlinox::testing {

// Answers the modal windows a test opens, in order: each step waits until a new modal
// window is on top (a dialog, a message box) and then acts on it. Steps left when the
// object goes away are reported through unanswered().
class ModalAnswers {
public:
    using Step = std::function<void(QWidget* modal)>;

    ModalAnswers() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    void Then(Step step) { steps_.push_back(std::move(step)); }
    int unanswered() const { return static_cast<int>(steps_.size()); }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last_.data() || steps_.empty()) return;
        last_ = modal;
        Step step = std::move(steps_.front());
        steps_.pop_front();
        // Run outside the timer's own slot: a step may open further modal windows, and
        // the timer must go on firing in their nested event loops.
        QPointer<QWidget> target(modal);
        QMetaObject::invokeMethod(
            qApp, [step = std::move(step), target] { if (target) step(target); },
            Qt::QueuedConnection);
    }

    QTimer timer_;
    std::deque<Step> steps_;
    QPointer<QWidget> last_;  // null again once that window is gone
};

// Answers every message box and file dialog that comes up while it exists, as a user
// would: a file dialog takes the next of files (or is cancelled when none is left), a
// message box the button that answer chooses for its text (OK, else Retry, when no
// rule is given). The texts of the boxes are kept in order.
class DialogAnswerer {
public:
    using Rule = std::function<QMessageBox::StandardButton(const std::string& text)>;

    explicit DialogAnswerer(Rule answer = {}) : answer_(std::move(answer)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    std::vector<std::string> texts;
    std::deque<QString> files;
    // Runs on every turn of the event loop, also inside a running pass.
    std::function<void()> onIdle;

private:
    void Poll() {
        if (onIdle) onIdle();
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last_.data()) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            last_ = modal;
            texts.push_back(box->text().toStdString());
            auto button = answer_ ? answer_(texts.back()) : QMessageBox::NoButton;
            if (button == QMessageBox::NoButton) {
                button = box->button(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Retry;
            }
            QPointer<QAbstractButton> target(box->button(button));
            QMetaObject::invokeMethod(
                qApp, [target] { if (target) target->click(); }, Qt::QueuedConnection);
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            last_ = modal;
            QPointer<QFileDialog> target(dialog);
            QString file = files.empty() ? QString() : files.front();
            if (!files.empty()) files.pop_front();
            QMetaObject::invokeMethod(
                qApp,
                [target, file] {
                    if (!target) return;
                    if (file.isEmpty()) {
                        target->reject();
                    } else {
                        // As a user types the full path into the name field and
                        // presses Enter.
                        if (auto* name = target->findChild<QLineEdit*>("fileNameEdit")) {
                            name->setText(file);
                        }
                        QMetaObject::invokeMethod(target.data(), "accept");  // protected
                    }
                },
                Qt::QueuedConnection);
        }
    }

    QTimer timer_;
    Rule answer_;
    QPointer<QWidget> last_;
};

}  // namespace merlinox::testing
