#include "gui/qt_file_dialogs.h"

#include <QFileDialog>

#include "gui/qt_text.h"

namespace merlinox::gui {

QStringList NameFiltersOf(std::string_view filter) {
    const QStringList parts = ToQt(filter).split('|');
    QStringList filters;
    // Text and pattern alternate; the list ends with an empty pair.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        filters << parts[i] + " (" + patterns + ")";
    }
    return filters;
}

std::optional<FileDialogChoice> QtFileDialogs::Open(const FileDialogRequest& request) {
    return Run(request, false);
}

std::optional<FileDialogChoice> QtFileDialogs::Save(const FileDialogRequest& request) {
    return Run(request, true);
}

std::optional<FileDialogChoice> QtFileDialogs::Run(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent_);
    dialog.setObjectName(save ? "saveDialog" : "openDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile
                                                  : QFileDialog::ExistingFile);
    if (save && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(ToQt(request.defaultExtension));
    const QStringList filters = NameFiltersOf(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
    dialog.setDirectory(ToQt(request.initialDirectory));
    if (!request.initialName.empty()) dialog.selectFile(ToQt(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    FileDialogChoice choice;
    choice.path = FromQt(dialog.selectedFiles().front());
    choice.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (choice.filterIndex < 1) choice.filterIndex = 1;
    return choice;
}

}  // namespace merlinox::gui
