#pragma once
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

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

}  // namespace merlinox::testing
