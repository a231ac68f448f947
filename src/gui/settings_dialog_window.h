#pragma once
#include <QDialog>

#include <optional>

#include "config/settings_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace merlinox::gui {

// "Einstellungen": the five hardware settings. OK runs the exchange; a refused field
// gets its message, the dialog stays open and the field takes the focus.
class SettingsDialogWindow : public QDialog {
    Q_OBJECT
public:
    SettingsDialogWindow(const SettingsDialogFields& fields, QWidget* parent);

    // Valid after the dialog was accepted.
    const std::optional<SettingsDialogValues>& Values() const { return values_; }

    void accept() override;

private:
    SettingsDialogFields Fields() const;
    QWidget* FieldOf(int controlId) const;

    QComboBox* port_;
    QLineEdit* timeOut_;
    QLineEdit* correction_;
    QLineEdit* hexLineLength_;
    QCheckBox* beep_;
    std::optional<SettingsDialogValues> values_;
};

// The port of the core: one modal dialog per call.
class QtSettingsDialogView : public SettingsDialogView {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<SettingsDialogValues> Run(const SettingsDialogFields& fields) override;

private:
    QWidget* parent_ = nullptr;
};

}  // namespace merlinox::gui
