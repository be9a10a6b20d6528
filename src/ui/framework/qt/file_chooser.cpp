#include "ui/framework/qt/file_chooser.h"

#include <QFile>
#include <QFileDialog>

#include "ui/framework/qt/box_text.h"
#include "ui/framework/qt/file_filter.h"

namespace tornix::qt {

void ConfigureFileChooser(QFileDialog& chooser, const FileChooserRequest& request) {
    chooser.setObjectName(QStringLiteral("tornixFileChooser"));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    chooser.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A name that does not exist yet is the caller's to check when opening.
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setOption(QFileDialog::DontConfirmOverwrite, (request.flags & OFN_OVERWRITEPROMPT) == 0);
    // Case first: the name filters are compiled with it.
    chooser.setFilter(chooser.filter() & ~QDir::CaseSensitive);
    const QStringList filters = ToQtNameFilters(request.filter.view());
    if (!filters.isEmpty()) {
        chooser.setNameFilters(filters);
        chooser.selectNameFilter(filters.first());
    }
    chooser.setDefaultSuffix(ToQString(request.defaultExtension.view()).left(3).trimmed());
    if (!request.initialName.IsEmpty()) chooser.selectFile(ToQString(request.initialName.view()));
}

std::optional<std::filesystem::path> RunFileChooser(QWidget* owner, const FileChooserRequest& request) {
    QFileDialog chooser(owner);
    ConfigureFileChooser(chooser, request);
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = chooser.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    // The file system's own bytes for the name, as Qt's file classes use them.
    const QByteArray name = QFile::encodeName(chosen.first());
    return std::filesystem::path(std::string(name.constData(), static_cast<std::size_t>(name.size())));
}

}  // namespace tornix::qt
