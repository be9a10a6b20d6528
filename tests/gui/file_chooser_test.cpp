// The Qt file chooser as the Load and Save As commands use it: the filter
// entries, case-blind patterns, the default extension, the overwrite
// question and cancelling.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "gui_test_support.h"
#include "support/scratch_dir.h"
#include "ui/converter_dlg.h"
#include "ui/framework/qt/file_chooser.h"
#include "ui/framework/qt/file_filter.h"

namespace tornix {
namespace {

namespace fs = std::filesystem;
using qt::DialogWindow;
using testing::RunDialog;
using testing::WaitFor;
using testing::WithModal;

// 文本文件(*.txt;*.html;*.htm)|*.txt;*.html;*.htm|所有文件(*.*)|*.*||
constexpr const char* kFilter =
    "\xCE\xC4\xB1\xBE\xCE\xC4\xBC\xFE(*.txt;*.html;*.htm)|*.txt;*.html;*.htm|"
    "\xCB\xF9\xD3\xD0\xCE\xC4\xBC\xFE(*.*)|*.*||";

FileChooserRequest Request(bool save) {
    FileChooserRequest request;
    request.save = save;
    request.filter = GbkString(kFilter);
    request.defaultExtension = GbkString("TXT Files (*.txt;*.html;*.htm)");
    request.initialName = GbkString("");
    request.flags = save ? OFN_OVERWRITEPROMPT : OFN_PATHMUSTEXIST;
    return request;
}

class FileChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "sub");
        for (const char* name : {"A.TXT", "b.html", "c.Htm", "d.dat", "NOTES.TXT"}) scratch.Put(name, "x");
    }

    // Shows the chooser from a running converter window; `drive` acts on it.
    std::optional<fs::path> Choose(bool save, const std::function<void(QFileDialog&)>& drive) {
        const auto chosen = Choose(Request(save), drive);
        return chosen ? std::optional<fs::path>(chosen->path) : std::nullopt;
    }
    std::optional<FileChooserAnswer> Choose(const FileChooserRequest& request,
                                            const std::function<void(QFileDialog&)>& drive) {
        std::optional<FileChooserAnswer> chosen;
        RunDialog(dialog, [&](DialogWindow& window) {
            const bool opened = WithModal([&] { chosen = window.ShowFileChooser(request); },
                                          [&](QWidget* widget) {
                                              auto* chooser = qobject_cast<QFileDialog*>(widget);
                                              ASSERT_NE(chooser, nullptr);
                                              EXPECT_EQ(chooser->parentWidget(), &window);
                                              chooser->setDirectory(QString::fromStdString(folder.string()));
                                              drive(*chooser);
                                          });
            EXPECT_TRUE(opened);
        });
        return chosen;
    }

    testing::ScratchDir scratch;
    const fs::path& folder = scratch.path();
    CConverterDlg dialog;
};

TEST_F(FileChooserTest, FirstEntrySelectedAndShownByName) {
    const auto chosen = Choose(false, [](QFileDialog& chooser) {
        const QStringList filters = qt::ToQtNameFilters(kFilter);
        EXPECT_EQ(chooser.nameFilters(), filters);
        EXPECT_EQ(chooser.selectedNameFilter(), QString::fromUtf8("文本文件(*.txt;*.html;*.htm)"));
        auto* types = chooser.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        ASSERT_EQ(types->count(), 2);
        EXPECT_EQ(types->itemText(0), QString::fromUtf8("文本文件(*.txt;*.html;*.htm)"));
        EXPECT_EQ(types->itemText(1), QString::fromUtf8("所有文件(*.*)"));
        EXPECT_EQ(types->currentIndex(), 0);
        EXPECT_EQ(chooser.findChild<QComboBox*>(qt::kChoiceListName), nullptr) << "a list nobody asked for";
        chooser.reject();
    });
    EXPECT_FALSE(chosen.has_value()) << "cancelling gives nothing";
}

// The names the chooser's list offers (enabled rows), once it has read the folder.
std::set<std::string> Offered(QFileDialog& chooser) {
    auto* list = chooser.findChild<QListView*>("listView");
    std::set<std::string> names;
    if (list == nullptr) return names;
    WaitFor([list] { return list->model()->rowCount(list->rootIndex()) >= 5; });
    QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
        const QModelIndex index = model->index(row, 0, list->rootIndex());
        if (model->flags(index) & Qt::ItemIsEnabled) names.insert(index.data().toString().toStdString());
    }
    return names;
}

TEST_F(FileChooserTest, PatternsMatchRegardlessOfCase) {
    Choose(false, [](QFileDialog& chooser) {
        const std::set<std::string> expected = {"A.TXT", "b.html", "c.Htm", "NOTES.TXT", "sub"};
        EXPECT_EQ(Offered(chooser), expected) << "d.dat is left out; the others show under the first entry";
        chooser.reject();
    });
}

// In whatever locale the tests run, the chooser's details are Chinese, drawn
// in the window's font, and each fits its column.
TEST_F(FileChooserTest, DetailsAreChineseAndFitTheirColumns) {
    QString windowFont;
    Choose(false, [&](QFileDialog& chooser) {
        windowFont = chooser.parentWidget()->font().family();
        EXPECT_EQ(chooser.font().family(), windowFont);
        chooser.setViewMode(QFileDialog::Detail);
        auto* view = chooser.findChild<QTreeView*>("treeView");
        ASSERT_NE(view, nullptr);
        QAbstractItemModel* model = view->model();
        ASSERT_TRUE(WaitFor([&] { return model->rowCount(view->rootIndex()) >= 5; }));
        auto shown = [&](const char* name, int column) {
            for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
                const QModelIndex index = model->index(row, 0, view->rootIndex());
                if (index.data().toString() == name) return index.siblingAtColumn(column).data().toString();
            }
            return QStringLiteral("<no %1>").arg(name);
        };
        EXPECT_EQ(shown("A.TXT", 1), QString::fromUtf8("1 字节"));
        EXPECT_EQ(shown("A.TXT", 2), QString::fromUtf8("纯文本文档"));
        EXPECT_TRUE(shown("A.TXT", 3).contains(QLatin1Char('/'))) << "a date as zh_CN writes it";
        EXPECT_EQ(shown("sub", 2), QString::fromUtf8("文件夹"));
        for (int column = 0; column < 4; ++column) {
            const QString text = shown("A.TXT", column);
            EXPECT_GT(view->header()->sectionSize(column), view->fontMetrics().horizontalAdvance(text))
                << text.toStdString() << " is cut";
        }
        chooser.reject();
    });
}

struct TypedNameCase {
    const char* name;
    bool save;
    const char* typed;
    const char* chosen;
};

class TypedNameTest : public FileChooserTest, public ::testing::WithParamInterface<TypedNameCase> {};

TEST_P(TypedNameTest, NameWithoutExtensionGetsTxt) {
    const TypedNameCase& c = GetParam();
    const auto chosen = Choose(c.save, [&](QFileDialog& chooser) {
        auto* name = chooser.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setFocus();
        QTest::keyClicks(name, c.typed);
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, folder / c.chosen);
}

INSTANTIATE_TEST_SUITE_P(Cases, TypedNameTest,
                         ::testing::Values(TypedNameCase{"SaveNew", true, "report", "report.TXT"},
                                           TypedNameCase{"SaveWithExtension", true, "report.txt", "report.txt"},
                                           TypedNameCase{"SaveOtherExtension", true, "my.notes", "my.notes"},
                                           TypedNameCase{"OpenExisting", false, "NOTES", "NOTES.TXT"},
                                           TypedNameCase{"OpenMissingIsTheCommandsToCheck", false, "gone.txt",
                                                         "gone.txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Enter in the name box, as a user confirms the chooser.
void Confirm(QFileDialog& chooser) {
    auto* name = chooser.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    QTest::keyClick(name, Qt::Key_Return);
}

struct OverwriteCase {
    const char* name;
    bool confirm;
};

class OverwriteTest : public FileChooserTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, SaveOverExistingFileAsksFirst) {
    const bool confirm = GetParam().confirm;
    bool asked = false;
    const auto chosen = Choose(true, [&](QFileDialog& chooser) {
        chooser.selectFile(QStringLiteral("A.TXT"));
        asked = WithModal([&] { Confirm(chooser); },
                          [&](QWidget* widget) {
                              auto* question = qobject_cast<QMessageBox*>(widget);
                              ASSERT_NE(question, nullptr);
                              question->button(confirm ? QMessageBox::Yes : QMessageBox::No)->click();
                          });
        if (!confirm) {
            EXPECT_TRUE(chooser.isVisible()) << "answering no keeps the chooser open";
            chooser.reject();
        }
    });
    EXPECT_TRUE(asked);
    EXPECT_EQ(chosen.has_value(), confirm);
    if (chosen) {
        EXPECT_EQ(*chosen, folder / "A.TXT");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OverwriteTest,
                         ::testing::Values(OverwriteCase{"Confirmed", true}, OverwriteCase{"Declined", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A request's choice (the choosers' encoding): a row below the file types,
// its label and list in their columns and the window's font; Alt and the
// access key reach the list, the arrow keys choose in it, and the answer
// carries the item left chosen. The same in the save and the open chooser.
class ChoiceTest : public FileChooserTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ChoiceTest, IsARowBelowTheFileTypesAndItsItemIsAnswered) {
    const bool save = GetParam();
    FileChooserRequest request = Request(save);
    request.choice.label = GbkString("\xB1\xE0\xC2\xEB(&E):");  // 编码(&E):
    for (const char* item : {"GBK", "UTF-8", "UTF-16 LE", "UTF-16 BE"}) request.choice.items.emplace_back(item);
    request.choice.selected = 2;
    const auto chosen = Choose(request, [&](QFileDialog& chooser) {
        auto* label = chooser.findChild<QLabel*>(qt::kChoiceLabelName);
        auto* list = chooser.findChild<QComboBox*>(qt::kChoiceListName);
        auto* typesLabel = chooser.findChild<QLabel*>("fileTypeLabel");
        auto* types = chooser.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_TRUE(label && list && typesLabel && types);
        EXPECT_EQ(label->text(), QString::fromUtf8("编码(&E)：")) << "a colon as Qt's Chinese labels have";
        EXPECT_EQ(label->buddy(), list);
        const QStringList items = {"GBK", "UTF-8", "UTF-16 LE", "UTF-16 BE"};
        for (int i = 0; i < items.size(); ++i) EXPECT_EQ(list->itemText(i), items[i]);
        EXPECT_EQ(list->count(), items.size());
        EXPECT_EQ(list->currentIndex(), 2);
        EXPECT_TRUE(label->isVisible() && list->isVisible());
        EXPECT_EQ(label->font().family(), chooser.parentWidget()->font().family());
        EXPECT_EQ(list->font().family(), chooser.parentWidget()->font().family());
        EXPECT_EQ(label->x(), typesLabel->x());
        EXPECT_GE(label->y(), typesLabel->geometry().bottom());
        EXPECT_EQ(list->geometry().left(), types->geometry().left());
        EXPECT_EQ(list->width(), types->width());
        EXPECT_GT(list->y(), types->geometry().bottom());
        EXPECT_GE(list->width(), list->sizeHint().width()) << "an item is cut";

        auto* name = chooser.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        ASSERT_TRUE(WaitFor([&] { return chooser.isActiveWindow(); }));
        name->setFocus();
        QTest::keyClick(name, Qt::Key_E, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), list) << "Alt+E does not reach the list";
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(list->currentIndex(), 3);
        name->setText(save ? QStringLiteral("saved") : QStringLiteral("NOTES"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->path, folder / (save ? "saved.TXT" : "NOTES.TXT"));
    EXPECT_EQ(chosen->choice, 3);

    EXPECT_FALSE(Choose(request, [](QFileDialog& chooser) { chooser.reject(); }).has_value());
}

INSTANTIATE_TEST_SUITE_P(Choosers, ChoiceTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Save" : "Open"); });

TEST_F(FileChooserTest, OpeningExistingFileAsksNothing) {
    bool asked = true;
    const auto chosen = Choose(false, [&](QFileDialog& chooser) {
        chooser.selectFile(QStringLiteral("A.TXT"));
        asked = WithModal([&] { Confirm(chooser); }, [](QWidget*) {});
    });
    EXPECT_FALSE(asked);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, folder / "A.TXT");
}

}  // namespace
}  // namespace tornix
