#include "gui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/qt_text.h"

// The pictures are compiled into the gui library, and a static library has to register
// its resources itself. Outside any namespace, as the registration function is.
static void RegisterPictures() { Q_INIT_RESOURCE(kestrel); }

namespace merlinox::gui {

namespace {

std::string_view FirstTextOf(int id) {
    for (const ControlSpec& spec : kMainWindowControls) {
        if (spec.id == id) return spec.text;
    }
    return {};
}

}  // namespace

template <typename Widget>
Widget* MainWindow::Add(int id, Widget* widget) {
    widget->setObjectName(QString::number(id));
    controls_[id] = widget;
    if constexpr (std::is_base_of_v<QAbstractButton, Widget>) {
        connect(widget, &QAbstractButton::clicked, this, [this, id] { Dispatch(id); });
    } else if constexpr (std::is_same_v<Widget, QComboBox>) {
        connect(widget, &QComboBox::activated, this, [this, id] { Dispatch(id); });
    }
    return widget;
}

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    RegisterPictures();
    setObjectName("mainWindow");
    setWindowIcon(QIcon(":/art/app_icon.svg"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildTop());
    layout->addWidget(BuildButtons());
    layout->addWidget(BuildFuses());
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* MainWindow::BuildTop() {
    auto* top = new QWidget(this);
    auto* grid = new QGridLayout(top);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* board = new QWidget(top);
    auto* boardColumn = new QVBoxLayout(board);
    boardColumn->setContentsMargins(0, 0, 0, 0);
    auto* picture = new QLabel(board);
    picture->setObjectName("boardPicture");
    picture->setPixmap(QIcon(":/art/socket_picture.svg").pixmap(160, 80));
    boardColumn->addWidget(picture);
    // Under the picture for as long as the window runs: a user must never take the
    // simulator's success for a programmed chip.
    auto* marker = new QLabel("Simulierte Platine", board);
    marker->setObjectName("simulatedBoardMarker");
    marker->setAlignment(Qt::AlignCenter);
    marker->setStyleSheet(
        "QLabel { background: #ffd24d; color: black; "
        "font-weight: bold; padding: 2px; }");
    marker->setVisible(false);
    boardColumn->addWidget(marker);
    simulatedMarker_ = marker;
    grid->addWidget(board, 0, 0, 2, 1);

    auto* manufacturers = Add(kManufacturerList, new QComboBox(top));
    auto* devices = Add(kDeviceList, new QComboBox(top));
    manufacturers->setMinimumWidth(200);
    devices->setMinimumWidth(200);
    devices->setMaxVisibleItems(20);
    grid->addWidget(manufacturers, 0, 1);
    grid->addWidget(devices, 1, 1);

    auto* status = Add(kStatusLine, new QLabel(ToQt(FirstTextOf(kStatusLine)), top));
    status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    grid->addWidget(status, 2, 0, 1, 2);
    auto* progress = Add(kProgressBar, new QProgressBar(top));
    progress->setTextVisible(false);
    progress->setRange(0, 100);
    progress->setValue(0);
    grid->addWidget(progress, 3, 0, 1, 2);
    return top;
}

void MainWindow::ShowSimulatedBoard(bool simulated) { simulatedMarker_->setVisible(simulated); }

QWidget* MainWindow::BuildButtons() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    const int rows[2][4] = {{kBlankCheckButton, kReadOutButton, kProgramButton, kVerifyButton},
                            {kEraseButton, kResetButton, kCancelButton, kPrefsButton}};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int id = rows[row][column];
            auto* button = Add(id, new QPushButton(ToQt(FirstTextOf(id)), area));
            grid->addWidget(button, row, column);
        }
    }
    static_cast<QPushButton*>(controls_[kProgramButton])->setDefault(true);

    auto* fileName = Add(kFileNameField, new QLineEdit(area));
    fileName->setReadOnly(true);
    grid->addWidget(fileName, 2, 0, 1, 3);
    grid->addWidget(Add(kNewFileButton, new QPushButton(ToQt(FirstTextOf(kNewFileButton)), area)),
                    2, 3);

    auto* options = new QGroupBox("Optionen", area);
    options->setObjectName("optionsGroup");
    auto* optionRow = new QHBoxLayout(options);
    for (const int id : {kIdCheckBox, kFfSaveBox, kTestChecksumBox}) {
        optionRow->addWidget(Add(id, new QCheckBox(ToQt(FirstTextOf(id)), options)));
    }
    grid->addWidget(options, 3, 0, 1, 4);
    return area;
}

QWidget* MainWindow::BuildFuses() {
    auto* area = new QWidget(this);
    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    const char* titles[kFuseByteCount] = {"Security", "Fuse Low Bits", "Fuse High Bits",
                                          "Extended Fuse"};
    for (int byte = 0; byte < kFuseByteCount; ++byte) {
        auto* group = new QGroupBox(titles[byte], area);
        group->setObjectName(QString("fuseGroup%1").arg(byte));
        auto* column = new QVBoxLayout(group);
        column->setSpacing(2);
        // Bit 7 on top, bit 0 at the bottom, as the chip's datasheets draw a byte.
        for (int bit = 7; bit >= 0; --bit) {
            const int id =
                kFuseBoxIds[static_cast<std::size_t>(byte)][static_cast<std::size_t>(bit)];
            auto* box = Add(id, new QCheckBox(ToQt(FirstTextOf(id)), group));
            box->setMinimumWidth(96);
            column->addWidget(box);
        }
        layout->addWidget(group, 0, byte);
    }
    auto* note = new QLabel("Achtung: Aktivierte Fuses werden auf 0 gebrannt !", area);
    note->setObjectName("fuseNote");
    layout->addWidget(note, 1, 0, 1, 3);
    layout->addWidget(
        Add(kStandardButton, new QPushButton(ToQt(FirstTextOf(kStandardButton)), area)), 1, 3);
    layout->addWidget(
        Add(kReadFusesButton, new QPushButton(ToQt(FirstTextOf(kReadFusesButton)), area)), 2, 3);
    return area;
}

QWidget* MainWindow::Control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

void MainWindow::Bind(int id, std::function<void()> handler) { handlers_[id] = std::move(handler); }

void MainWindow::Dispatch(int id) {
    const auto found = handlers_.find(id);
    if (found != handlers_.end() && found->second) found->second();
}

void MainWindow::SetText(int id, std::string_view text) {
    QWidget* widget = Control(id);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(ToQt(text));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(ToQt(text));
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(ToQt(text));
        edit->end(false);  // the end of a long name stays in sight
    }
}

std::string MainWindow::Text(int id) const {
    QWidget* widget = Control(id);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return FromQt(button->text());
    if (auto* label = qobject_cast<QLabel*>(widget)) return FromQt(label->text());
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return FromQt(edit->text());
    if (auto* list = qobject_cast<QComboBox*>(widget)) return FromQt(list->currentText());
    return {};
}

void MainWindow::Enable(int id, bool enabled) {
    if (QWidget* widget = Control(id)) widget->setEnabled(enabled);
}

bool MainWindow::IsEnabled(int id) const {
    QWidget* widget = Control(id);
    return widget != nullptr && widget->isEnabled();
}

void MainWindow::SetChecked(int id, bool checked) {
    if (auto* box = qobject_cast<QAbstractButton*>(Control(id))) box->setChecked(checked);
}

bool MainWindow::IsChecked(int id) const {
    auto* box = qobject_cast<QAbstractButton*>(Control(id));
    return box != nullptr && box->isChecked();
}

void MainWindow::ResetList(int id) {
    if (auto* list = qobject_cast<QComboBox*>(Control(id))) list->clear();
}

void MainWindow::AppendToList(int id, std::string_view text) {
    if (auto* list = qobject_cast<QComboBox*>(Control(id))) list->addItem(ToQt(text));
}

void MainWindow::SelectInList(int id, int index) {
    auto* list = qobject_cast<QComboBox*>(Control(id));
    if (list == nullptr) return;
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

int MainWindow::SelectedIndex(int id) const {
    auto* list = qobject_cast<QComboBox*>(Control(id));
    return list == nullptr ? -1 : list->currentIndex();
}

void MainWindow::SetProgressRange(int id, int low, int high) {
    if (auto* bar = qobject_cast<QProgressBar*>(Control(id))) {
        bar->setRange(low, std::max(low, high));
    }
}

void MainWindow::SetProgressPosition(int id, int position) {
    // The bar would ignore a position beyond its end; it shows it as full instead.
    if (auto* bar = qobject_cast<QProgressBar*>(Control(id))) {
        bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    }
}

void MainWindow::SetTitle(std::string_view title) { setWindowTitle(ToQt(title)); }

void MainWindow::MoveTo(int x, int y) { move(x, y); }

int MainWindow::Left() const { return pos().x(); }

int MainWindow::Top() const { return pos().y(); }

void MainWindow::Redraw() { repaint(); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeRequested && !closeRequested()) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (moved && !isMinimized()) moved(pos().x(), pos().y());
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    if (isMinimized() && minimised) minimised();
    if (isMaximized()) {
        // The window has no size of its own choosing: back to where it was.
        setWindowState(windowState() & ~Qt::WindowMaximized);
        if (maximised) maximised();
    }
}

}  // namespace merlinox::gui
