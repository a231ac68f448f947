#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "gui/main_window.h"
#include "gui/qt_text.h"

namespace merlinox::gui {
namespace {

// The Qt class of each kind of control, in ControlKind order.
constexpr const char* kKindClass[] = {"QLabel",    "QProgressBar", "QPushButton",
                                      "QLineEdit", "QComboBox",    "QCheckBox"};

TEST(MainWindow, EveryControlIsAWidgetNamedByItsIdWithItsFirstText) {
    MainWindow window;
    for (const ControlSpec& spec : kMainWindowControls) {
        SCOPED_TRACE(spec.id);
        auto* widget = window.findChild<QWidget*>(QString::number(spec.id));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget, window.Control(spec.id));
        EXPECT_TRUE(widget->inherits(kKindClass[static_cast<int>(spec.kind)]));
        EXPECT_EQ(window.Text(spec.id), std::string(spec.text));
        EXPECT_TRUE(widget->isEnabled());
    }
    EXPECT_EQ(window.findChild<QWidget*>("1045"), nullptr);
    EXPECT_TRUE(qobject_cast<QLineEdit*>(window.Control(kFileNameField))->isReadOnly());
    EXPECT_TRUE(qobject_cast<QPushButton*>(window.Control(kProgramButton))->isDefault());
    const auto groups = window.findChildren<QGroupBox*>();
    std::vector<std::string> titles;
    for (auto* group : groups) titles.push_back(FromQt(group->title()));
    EXPECT_EQ(titles, (std::vector<std::string>{"Optionen", "Security", "Fuse Low Bits",
                                                "Fuse High Bits", "Extended Fuse"}));
    auto* note = window.findChild<QLabel*>("fuseNote");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(FromQt(note->text()), "Achtung: Aktivierte Fuses werden auf 0 gebrannt !");
}

TEST(MainWindow, EachFuseGroupShowsBitSevenOnTopAndBitZeroAtTheBottom) {
    MainWindow window;
    window.show();
    for (const auto& byte : kFuseBoxIds) {
        for (int bit = 1; bit < 8; ++bit) {
            EXPECT_LT(window.Control(byte[bit])->y(), window.Control(byte[bit - 1])->y());
        }
    }
}

TEST(MainWindow, OnlyTheUsersActionsReachTheHandlers) {
    MainWindow window;
    window.show();
    std::vector<int> clicks;
    for (const ControlSpec& spec : kMainWindowControls) {
        window.Bind(spec.id, [&clicks, id = spec.id] { clicks.push_back(id); });
    }
    window.SetChecked(1040, true);
    window.AppendToList(kDeviceList, "ATmega8");
    window.AppendToList(kDeviceList, "ATmega16");
    window.SelectInList(kDeviceList, 1);
    window.SetText(kStatusLine, "Brenne Flash");
    EXPECT_TRUE(clicks.empty());

    QTest::mouseClick(window.Control(kProgramButton), Qt::LeftButton);
    auto* box = qobject_cast<QCheckBox*>(window.Control(1033));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    EXPECT_TRUE(window.IsChecked(1033));  // the box changed before its handler ran
    auto* devices = qobject_cast<QComboBox*>(window.Control(kDeviceList));
    emit devices->activated(0);
    EXPECT_EQ(clicks, (std::vector<int>{kProgramButton, 1033, kDeviceList}));

    window.Enable(kProgramButton, false);
    QTest::mouseClick(window.Control(kProgramButton), Qt::LeftButton);
    EXPECT_EQ(clicks.size(), 3u);
}

TEST(MainWindow, ListsAndProgressBehaveAsThePresenterExpects) {
    MainWindow window;
    window.AppendToList(kManufacturerList, "Atmel");
    window.SelectInList(kManufacturerList, 3);
    EXPECT_EQ(window.SelectedIndex(kManufacturerList), -1);
    window.SelectInList(kManufacturerList, 0);
    EXPECT_EQ(window.SelectedIndex(kManufacturerList), 0);
    window.ResetList(kManufacturerList);
    EXPECT_EQ(window.SelectedIndex(kManufacturerList), -1);

    window.SetProgressRange(kProgressBar, 0, 50);
    window.SetProgressPosition(kProgressBar, 51);
    auto* bar = qobject_cast<QProgressBar*>(window.Control(kProgressBar));
    EXPECT_EQ(bar->value(), 50);
    window.SetProgressRange(kProgressBar, 0, 0);
    window.SetProgressPosition(kProgressBar, 0);
    EXPECT_EQ(bar->value(), 0);
}

TEST(MainWindow, CloseIsAskedAndMayBeRefused) {
    MainWindow window;
    window.show();
    bool allow = false;
    int asked = 0;
    window.closeRequested = [&] {
        ++asked;
        return allow;
    };
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    allow = true;
    EXPECT_TRUE(window.close());
    EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace merlinox::gui
