#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "gui/qt_text.h"
#include "gui/settings_dialog_window.h"
#include "modal_answers.h"

namespace merlinox::gui {
namespace {

using testing::ModalAnswers;

const SettingsDialogFields kShown{"0x378", "1000000", "85", "32", true};

template <typename Widget>
Widget* Field(QWidget* dialog, int id) {
    return dialog->findChild<Widget*>(QString::number(id));
}

void Click(QWidget* dialog, const char* buttonId) {
    dialog->findChild<QPushButton*>(buttonId)->click();
}

TEST(SettingsDialogWindow, ShowsTheFieldsUnderTheirIds) {
    SettingsDialogWindow dialog(kShown, nullptr);
    EXPECT_EQ(FromQt(dialog.windowTitle()), "Einstellungen");
    auto* port = Field<QComboBox>(&dialog, kSettingsPortList);
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(port->isEditable());
    EXPECT_EQ(port->count(), 5);
    EXPECT_EQ(FromQt(port->itemText(0)), "0x3BC");
    EXPECT_EQ(FromQt(port->currentText()), "0x378");
    EXPECT_EQ(FromQt(Field<QLineEdit>(&dialog, kSettingsTimeOutField)->text()), "1000000");
    EXPECT_EQ(FromQt(Field<QLineEdit>(&dialog, kSettingsCorrectionField)->text()), "85");
    EXPECT_EQ(FromQt(Field<QLineEdit>(&dialog, kSettingsHexLineField)->text()), "32");
    EXPECT_TRUE(Field<QCheckBox>(&dialog, kSettingsBeepBox)->isChecked());
    EXPECT_EQ(FromQt(dialog.findChild<QPushButton*>("2")->text()), "Abbrechen");
}

TEST(SettingsDialogWindow, RefusesAnOutOfRangeValueAndKeepsTheDialogOpenOnTheField) {
    QtSettingsDialogView view;
    ModalAnswers answers;
    std::string refusal;
    bool stillOpen = false;
    QWidget* focused = nullptr;
    QWidget* hexField = nullptr;
    answers.Then([&](QWidget* dialog) {
        hexField = Field<QLineEdit>(dialog, kSettingsHexLineField);
        Field<QLineEdit>(dialog, kSettingsHexLineField)->setText("15");
        Click(dialog, "1");
    });
    answers.Then([&](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(message, nullptr);
        refusal = FromQt(message->text());
        message->accept();
    });
    answers.Then([&](QWidget* dialog) {
        stillOpen = dialog->isVisible();
        focused = dialog->focusWidget();
        Field<QLineEdit>(dialog, kSettingsHexLineField)->setText("255");
        Field<QComboBox>(dialog, kSettingsPortList)->setEditText("0x278");
        Click(dialog, "1");
    });
    const auto values = view.Run(kShown);
    EXPECT_EQ(refusal, "Bitte eine ganze Zahl zwischen 16 und 255 eingeben.");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(focused, hexField);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->hexLineLength, 255u);
    EXPECT_EQ(values->port, "0x278");
    EXPECT_EQ(answers.unanswered(), 0);
}

TEST(SettingsDialogWindow, CancelGivesNothing) {
    QtSettingsDialogView view;
    ModalAnswers answers;
    answers.Then([](QWidget* dialog) {
        Field<QLineEdit>(dialog, kSettingsTimeOutField)->setText("abc");
        Click(dialog, "2");
    });
    EXPECT_FALSE(view.Run(kShown).has_value());
}

}  // namespace
}  // namespace merlinox::gui
