#pragma once
#include <QStringList>

#include "core/main_view.h"

class QWidget;

namespace merlinox::gui {

// The open and save dialogs as Qt file dialogs.
class QtFileDialogs : public FileDialogs {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }

    std::optional<FileDialogChoice> Open(const FileDialogRequest& request) override;
    std::optional<FileDialogChoice> Save(const FileDialogRequest& request) override;

private:
    std::optional<FileDialogChoice> Run(const FileDialogRequest& request, bool save);

    QWidget* parent_ = nullptr;
};

// "*.BIN Binär|*.bin|*.ROM;*.EEP Atmel|*.rom;*.eep||" as Qt name filters:
// "*.BIN Binär (*.bin)", "*.ROM;*.EEP Atmel (*.rom *.eep)".
QStringList NameFiltersOf(std::string_view filter);

}  // namespace merlinox::gui
