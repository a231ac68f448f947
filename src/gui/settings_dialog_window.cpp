#include "gui/settings_dialog_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "gui/qt_text.h"

namespace merlinox::gui {

namespace {

QLineEdit* NumberField(QWidget* parent, int controlId, const std::string& text) {
    auto* field = new QLineEdit(ToQt(text), parent);
    field->setObjectName(QString::number(controlId));
    field->setFixedWidth(80);
    return field;
}

}  // namespace

SettingsDialogWindow::SettingsDialogWindow(const SettingsDialogFields& fields, QWidget* parent)
    : QDialog(parent) {
    setObjectName("settingsDialog");
    setWindowTitle("Einstellungen");

    port_ = new QComboBox(this);
    port_->setObjectName(QString::number(kSettingsPortList));
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string_view choice : kPortChoices) port_->addItem(ToQt(choice));
    port_->setEditText(ToQt(fields.port));
    port_->setFixedWidth(90);

    timeOut_ = NumberField(this, kSettingsTimeOutField, fields.timeOut);
    correction_ = NumberField(this, kSettingsCorrectionField, fields.correction);
    hexLineLength_ = NumberField(this, kSettingsHexLineField, fields.hexLineLength);

    beep_ = new QCheckBox("Signalton", this);
    beep_->setObjectName(QString::number(kSettingsBeepBox));
    beep_->setChecked(fields.beep);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("1");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Abbrechen", this);
    cancel->setObjectName("2");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Two columns of labelled fields and the buttons on the right, as the dialog has
    // always been laid out.
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Portadresse", this), 0, 0);
    grid->addWidget(port_, 1, 0);
    grid->addWidget(new QLabel("Timeout-Zähler", this), 2, 0);
    grid->addWidget(timeOut_, 3, 0);
    grid->addWidget(new QLabel("Länge HEX-Zeile", this), 0, 1);
    grid->addWidget(hexLineLength_, 1, 1);
    grid->addWidget(new QLabel("Korrektur", this), 2, 1);
    grid->addWidget(correction_, 3, 1);
    grid->addWidget(ok, 0, 2, 2, 1);
    grid->addWidget(cancel, 2, 2);
    grid->addWidget(beep_, 3, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

SettingsDialogFields SettingsDialogWindow::Fields() const {
    SettingsDialogFields fields;
    fields.port = FromQt(port_->currentText());
    fields.timeOut = FromQt(timeOut_->text());
    fields.correction = FromQt(correction_->text());
    fields.hexLineLength = FromQt(hexLineLength_->text());
    fields.beep = beep_->isChecked();
    return fields;
}

QWidget* SettingsDialogWindow::FieldOf(int controlId) const {
    switch (controlId) {
    case kSettingsTimeOutField:
        return timeOut_;
    case kSettingsCorrectionField:
        return correction_;
    case kSettingsHexLineField:
        return hexLineLength_;
    default:
        return port_;
    }
}

void SettingsDialogWindow::accept() {
    auto exchanged = ExchangeSettingsDialog(Fields());
    if (const auto* refusal = std::get_if<FieldRefusal>(&exchanged)) {
        QMessageBox::warning(this, kBoxTitle, ToQt(refusal->message));
        QWidget* field = FieldOf(refusal->controlId);
        field->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
        return;
    }
    values_ = std::get<SettingsDialogValues>(exchanged);
    QDialog::accept();
}

std::optional<SettingsDialogValues> QtSettingsDialogView::Run(const SettingsDialogFields& fields) {
    SettingsDialogWindow dialog(fields, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Values();
}

}  // namespace merlinox::gui
