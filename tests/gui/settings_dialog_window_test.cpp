#include "gui/settings_dialog_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "gui/qt_text.h"
#include "modal_answers.h"

namespace merlinox::gui {
namespace {

const SettingsDialogFields kShown{"0x378", "1000000", "85", "32", true};

template <typename Widget>
Widget* Field(QWidget* dialog, int id) {
    return dialog->findChild<Widget*>(QString::number(id));
}

// The fields show the values under their ids; an out-of-range value is refused with the
// dialog kept open on its field; Cancel gives nothing, whatever was typed.
TEST(SettingsDialogWindow, RefusesAnOutOfRangeValueAndKeepsTheDialogOpenOnTheField) {
    QtSettingsDialogView view;
    testing::ModalAnswers answers;
    const auto line = [](QWidget* dialog) {
        return Field<QLineEdit>(dialog, kSettingsHexLineField);
    };
    bool stillOpenOnTheField = false;
    answers.Then([&](QWidget* dialog) {
        EXPECT_EQ(FromQt(Field<QComboBox>(dialog, kSettingsPortList)->currentText()), "0x378");
        EXPECT_EQ(FromQt(Field<QLineEdit>(dialog, kSettingsCorrectionField)->text()), "85");
        EXPECT_TRUE(Field<QCheckBox>(dialog, kSettingsBeepBox)->isChecked());
        line(dialog)->setText("15");
        dialog->findChild<QPushButton*>("1")->click();  // OK
    });
    answers.Then([&](QWidget* dialog) {  // again, once the refusal is answered
        stillOpenOnTheField = dialog->isVisible() && dialog->focusWidget() == line(dialog);
        line(dialog)->setText("255");
        Field<QComboBox>(dialog, kSettingsPortList)->setEditText("0x278");
        dialog->findChild<QPushButton*>("1")->click();
    });
    const auto values = view.Run(kShown);
    EXPECT_EQ(answers.texts,
              std::vector<std::string>{"Bitte eine ganze Zahl zwischen 16 und 255 eingeben."});
    EXPECT_TRUE(stillOpenOnTheField);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->hexLineLength, 255u);
    EXPECT_EQ(values->port, "0x278");
    answers.Then([](QWidget* dialog) {
        Field<QLineEdit>(dialog, kSettingsTimeOutField)->setText("abc");
        dialog->findChild<QPushButton*>("2")->click();  // Abbrechen
    });
    EXPECT_FALSE(view.Run(kShown).has_value());
}

}  // namespace
}  // namespace merlinox::gui
