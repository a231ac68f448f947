#include "gui/desktop_busy_marker.h"

#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/x11_windows.h"

namespace merlinox::gui {

namespace {

// A frame without caption holding one picture, about 50 x 50 dialog units.
std::unique_ptr<QWidget> MakeBusyWindow() {
    auto window = std::make_unique<QFrame>(
        nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    window->setObjectName("busyWindow");
    window->setWindowTitle(QString::fromUtf8(kBusyWindowTitle.data(),
                                             static_cast<qsizetype>(kBusyWindowTitle.size())));
    window->setFrameStyle(QFrame::Panel | QFrame::Raised);
    window->setLineWidth(2);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(3, 3, 3, 3);
    auto* picture = new QLabel(window.get());
    picture->setObjectName("busyPicture");
    picture->setPixmap(QIcon(":/art/busy_picture.svg").pixmap(70, 70));
    layout->addWidget(picture);
    window->setFixedSize(window->sizeHint());
    return window;
}

}  // namespace

DesktopBusyMarker::DesktopBusyMarker(std::string lockDirectory)
    : lockFile_(std::move(lockDirectory)) {}

DesktopBusyMarker::~DesktopBusyMarker() { Destroy(); }

std::string DesktopBusyMarker::Create(int x, int y) {
    if (std::string problem = lockFile_.Create(x, y); !problem.empty()) return problem;
    if (window_) return {};
    window_ = MakeBusyWindow();
    window_->move(x, y);
    window_->show();
    // Mapped at once, so that other programs find it before the operation's first step.
    QApplication::processEvents();
    return {};
}

void DesktopBusyMarker::Destroy() {
    window_.reset();
    lockFile_.Destroy();
}

bool DesktopBusyMarker::BusyWindowExists() {
    if (window_ || lockFile_.BusyWindowExists()) return true;
    return platform::X11WindowTitled(kBusyWindowTitle);
}

bool DesktopBusyMarker::WindowTitledExists(std::string_view title) {
    if (title == kBusyWindowTitle && BusyWindowExists()) return true;
    return platform::X11WindowTitled(title);
}

}  // namespace merlinox::gui
