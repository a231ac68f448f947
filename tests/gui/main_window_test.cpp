#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <vector>

namespace merlinox::gui {
namespace {

// The Qt class of each kind of control, in ControlKind order.
constexpr const char* kKindClass[] = {"QLabel",    "QProgressBar", "QPushButton",
                                      "QLineEdit", "QComboBox",    "QCheckBox"};

TEST(MainWindow, EveryControlIsAWidgetNamedByItsIdWithItsFirstText) {
    MainWindow window;
    window.show();
    for (const ControlSpec& spec : kMainWindowControls) {
        SCOPED_TRACE(spec.id);
        auto* widget = window.findChild<QWidget*>(QString::number(spec.id));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget, window.Control(spec.id));
        EXPECT_TRUE(widget->inherits(kKindClass[static_cast<int>(spec.kind)]));
        EXPECT_EQ(window.Text(spec.id), std::string(spec.text));
    }
    EXPECT_TRUE(qobject_cast<QLineEdit*>(window.Control(kFileNameField))->isReadOnly());
    EXPECT_TRUE(qobject_cast<QPushButton*>(window.Control(kProgramButton))->isDefault());
    // Each fuse group shows bit 7 on top and bit 0 at the bottom, as the datasheets do.
    for (const auto& byte : kFuseBoxIds) {
        for (int bit = 1; bit < 8; ++bit) {
            EXPECT_LT(window.Control(byte[bit])->y(), window.Control(byte[bit - 1])->y());
        }
    }
}

// What the presenter sets is drawn without reaching a handler; the user's actions reach
// them, unless the control is disabled.
TEST(MainWindow, DrawsWhatThePresenterSetsAndOnlyTheUsersActionsReachTheHandlers) {
    MainWindow window;
    window.show();
    std::vector<int> clicks;
    for (const ControlSpec& spec : kMainWindowControls) {
        window.Bind(spec.id, [&clicks, id = spec.id] { clicks.push_back(id); });
    }
    window.SetChecked(1040, true);
    window.AppendToList(kDeviceList, "ATmega8");
    window.AppendToList(kDeviceList, "ATmega16");
    window.SelectInList(kDeviceList, 2);
    EXPECT_EQ(window.SelectedIndex(kDeviceList), -1);  // beyond the list: none selected
    // A position beyond the end shows a full bar; the bar itself would ignore it.
    window.SetProgressRange(kProgressBar, 0, 50);
    window.SetProgressPosition(kProgressBar, 51);
    EXPECT_EQ(qobject_cast<QProgressBar*>(window.Control(kProgressBar))->value(), 50);
    EXPECT_TRUE(clicks.empty());

    QTest::mouseClick(window.Control(kProgramButton), Qt::LeftButton);
    auto* box = qobject_cast<QCheckBox*>(window.Control(1033));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    EXPECT_TRUE(window.IsChecked(1033));  // the box changed before its handler ran
    emit qobject_cast<QComboBox*>(window.Control(kDeviceList))->activated(0);
    EXPECT_EQ(clicks, (std::vector<int>{kProgramButton, 1033, kDeviceList}));

    window.Enable(kProgramButton, false);
    QTest::mouseClick(window.Control(kProgramButton), Qt::LeftButton);
    EXPECT_EQ(clicks.size(), 3u);
}

}  // namespace
}  // namespace merlinox::gui
