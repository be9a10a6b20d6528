#include "ui/framework/qt/file_chooser.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLocale>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

#include "ui/framework/qt/box_text.h"
#include "ui/framework/qt/file_filter.h"

namespace tornix::qt {

namespace {

// The columns of the chooser's detail view.
enum Column { kName, kSize, kType, kModified };

// Qt's file model writes sizes and dates in the system's locale, and a
// folder's type untranslated; this one writes them in the program's (zh_CN),
// as the file types already are.
class LocalisedDetails : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr) return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const bool folder = files->isDir(source);
        switch (index.column()) {
            case kSize:
                return folder ? QString() : QLocale().formattedDataSize(files->size(source));
            case kType:
                return folder ? QString::fromUtf8("文件夹") : QIdentityProxyModel::data(index, role);
            case kModified:
                return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
            default:
                return QIdentityProxyModel::data(index, role);
        }
    }
};

// Qt sizes the detail columns for English texts; these fit the Chinese ones
// (a large size, a type of eight characters, a date and time), and the name
// takes the rest of the view.
void WidenDetailColumns(QFileDialog& chooser) {
    auto* view = chooser.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr) return;
    const QFontMetrics metrics(view->font());
    const int padding =
        2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) + metrics.averageCharWidth();
    const QLocale locale;
    const QString samples[] = {
        locale.formattedDataSize(Q_INT64_C(999) << 30),
        QString(8, QChar(0x6587)),  // 文
        locale.toString(QDateTime(QDate(2000, 12, 28), QTime(23, 58)), QLocale::ShortFormat),
    };
    QHeaderView* header = view->header();
    for (int column = kSize; column <= kModified; ++column) {
        const int text = metrics.horizontalAdvance(samples[column - kSize]) + padding;
        header->setSectionResizeMode(column, QHeaderView::Interactive);
        header->resizeSection(column, std::max(text, header->sectionSizeHint(column)));
    }
    header->setStretchLastSection(false);
    header->setSectionResizeMode(kName, QHeaderView::Stretch);
}

// The request's drop-down list as a row of its own below the file types: its
// label in the labels' column, the list as wide as the file types' list, and
// next in the tab order after it.
void AddChoiceRow(QFileDialog& chooser, const FileChooserChoice& choice) {
    auto* grid = qobject_cast<QGridLayout*>(chooser.layout());
    auto* types = chooser.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (grid == nullptr || types == nullptr) return;
    // Qt's Chinese labels in the chooser end with a full-width colon.
    QString text = ToQString(choice.label.view());
    if (text.endsWith(QLatin1Char(':'))) text.back() = QChar(0xFF1A);
    auto* label = new QLabel(text, &chooser);
    label->setObjectName(QString::fromLatin1(kChoiceLabelName));
    auto* list = new QComboBox(&chooser);
    list->setObjectName(QString::fromLatin1(kChoiceListName));
    list->setSizePolicy(types->sizePolicy());
    for (const GbkString& item : choice.items) list->addItem(ToQString(item.view()));
    list->setCurrentIndex(std::clamp(choice.selected, 0, list->count() - 1));
    label->setBuddy(list);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(list, row, 1);
    QWidget::setTabOrder(types, list);
}

}  // namespace

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
    chooser.setProxyModel(new LocalisedDetails(&chooser));
    WidenDetailColumns(chooser);
    if (!request.choice.items.empty()) AddChoiceRow(chooser, request.choice);
}

std::optional<FileChooserAnswer> RunFileChooser(QWidget* owner, const FileChooserRequest& request) {
    QFileDialog chooser(owner);
    ConfigureFileChooser(chooser, request);
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = chooser.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    FileChooserAnswer answer;
    // The file system's own bytes for the name, as Qt's file classes use them.
    const QByteArray name = QFile::encodeName(chosen.first());
    answer.path = std::filesystem::path(std::string(name.constData(), static_cast<std::size_t>(name.size())));
    const auto* list = chooser.findChild<QComboBox*>(QString::fromLatin1(kChoiceListName));
    answer.choice = list != nullptr ? list->currentIndex() : request.choice.selected;
    return answer;
}

}  // namespace tornix::qt
