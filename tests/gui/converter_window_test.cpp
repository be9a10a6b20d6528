// The converter window and the About box as a user meets them: the real Qt
// widgets, typed text, clicks and keys, the message box and the menus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <cstdlib>
#include <string>
#include <vector>

#include "convert/width.h"
#include "gui_test_support.h"
#include "support/hex.h"
#include "ui/converter_dlg.h"
#include "ui/framework/qt/box_text.h"
#include "ui/framework/qt/edit_box.h"

namespace tornix {
namespace {

using qt::DialogWindow;
using qt::EditBox;
using testing::ExpectMessageBox;
using testing::Gbk;
using testing::Hex;
using testing::RunDialog;
using testing::WaitFor;
using testing::WithModal;
using testing::WithPopup;

EditBox* Box(DialogWindow& window, int id) {
    return dynamic_cast<EditBox*>(window.Control(id));
}
QPushButton* Button(DialogWindow& window, int id) {
    return qobject_cast<QPushButton*>(window.Control(id));
}

// Types text as key presses; '\n' is the Enter key.
void Type(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\n')) {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

std::string Bytes(DialogWindow& window, int id) {
    return std::string(window.GetItemText(static_cast<unsigned>(id)).view());
}

int FocusedId(DialogWindow& window) {
    for (int id : {IDC_INPUT, IDC_LOAD, IDC_OUTPUT, IDC_SAVE_AS, IDC_TO_HALF, IDC_TO_FULL}) {
        if (window.Control(id) == QApplication::focusWidget()) return id;
    }
    return 0;
}

class ConverterWindowTest : public ::testing::Test {
protected:
    int Run(const std::function<void(DialogWindow&)>& body) { return RunDialog(dialog, body); }
    CConverterDlg dialog;
};

struct ConversionCase {
    const char* name;
    int button;
    const char* typed;       // UTF-8, '\n' typed as Enter
    const char* shownInput;  // UTF-8, as the box shows it afterwards
    const char* output;
};

class TypedConversionTest : public ConverterWindowTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(TypedConversionTest, OutputBoxShowsResultAndInputIsTrimmed) {
    const ConversionCase& c = GetParam();
    Run([&](DialogWindow& window) {
        Type(Box(window, IDC_INPUT), QString::fromUtf8(c.typed));
        QTest::mouseClick(Button(window, c.button), Qt::LeftButton);
        EXPECT_EQ(Box(window, IDC_OUTPUT)->toPlainText(), QString::fromUtf8(c.output));
        EXPECT_EQ(Box(window, IDC_INPUT)->toPlainText(), QString::fromUtf8(c.shownInput));
        QString output = QString::fromUtf8(c.output);
        EXPECT_EQ(Hex(Bytes(window, IDC_OUTPUT)), Hex(Gbk(output.replace("\n", "\r\n").toUtf8().constData())));
    });
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedConversionTest,
    ::testing::Values(ConversionCase{"ToFull", IDC_TO_FULL, "  Hello, World! ", "Hello, World!",
                                     "Ｈｅｌｌｏ， Ｗｏｒｌｄ！"},
                      ConversionCase{"ToHalf", IDC_TO_HALF, "ＡＢＣ　１２３", "ＡＢＣ　１２３", "ABC   123"},
                      ConversionCase{"ThreeSpacesToFull", IDC_TO_FULL, "a   b", "a   b", "ａ　ｂ"},
                      ConversionCase{"ChineseKept", IDC_TO_HALF, "全角（Ａ）", "全角（Ａ）", "全角(A)"},
                      ConversionCase{"TwoLinesToFull", IDC_TO_FULL, "\nab\ncd\n\n", "ab\ncd", "ａｂ\nｃｄ"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConverterWindowTest, EmptyInputIsRefusedWithMessage) {
    Run([&](DialogWindow& window) {
        Type(Box(window, IDC_INPUT), " \n\t");
        window.SetItemText(IDC_OUTPUT, GbkString("previous"));
        bool opened = false;
        const auto seen =
            ExpectMessageBox([&] { QTest::mouseClick(Button(window, IDC_TO_FULL), Qt::LeftButton); }, &opened);
        ASSERT_TRUE(opened);
        EXPECT_EQ(seen.text, QString::fromUtf8("要转换的文本内容不能为空！"));
        EXPECT_EQ(seen.title, QString()) << "the caption is empty, not the application's name";
        EXPECT_EQ(seen.buttons, QStringList{QString::fromUtf8("确定")});
        EXPECT_FALSE(seen.hasIcon);
        EXPECT_EQ(seen.owner, &window);
        // Laid out as a Windows message box without an icon: the text from the
        // margin, not indented around an empty icon place; the button centred.
        EXPECT_LE(seen.textPlace.left(), 2 * window.Units().x);
        EXPECT_LE(std::abs(seen.buttonPlace.left() - (seen.size.width() - seen.buttonPlace.right() - 1)), 1)
            << "button at " << seen.buttonPlace.left() << " in a box " << seen.size.width() << " wide";
        EXPECT_FALSE(seen.flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(seen.copied, QString::fromUtf8("---------------------------\n\n"
                                                 "---------------------------\n要转换的文本内容不能为空！\n"
                                                 "---------------------------\n确定   \n"
                                                 "---------------------------\n"))
            << "Ctrl+C copies the box as Windows does";
        EXPECT_EQ(Box(window, IDC_OUTPUT)->toPlainText(), "previous");
        EXPECT_EQ(Box(window, IDC_INPUT)->toPlainText(), " \n\t") << "the input box is not refreshed";
    });
}

TEST_F(ConverterWindowTest, MessageWithoutCaptionIsTitledWithApplicationName) {
    Run([&](DialogWindow&) {
        const auto seen = ExpectMessageBox([&] { dialog.MessageBox("abc", nullptr); });
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        EXPECT_EQ(seen.title, name);
        EXPECT_EQ(seen.text, "abc");
        EXPECT_TRUE(seen.copied.startsWith("---------------------------\n" + name + "\n---"));
    });
}

TEST_F(ConverterWindowTest, TabOrderFollowsTemplate) {
    Run([&](DialogWindow& window) {
        EXPECT_EQ(FocusedId(window), IDC_INPUT) << "the input box has the focus when the window opens";
        const std::vector<int> forward = {IDC_LOAD, IDC_TO_HALF, IDC_TO_FULL, IDC_SAVE_AS, IDC_OUTPUT, IDC_INPUT};
        for (int expected : forward) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(FocusedId(window), expected);
        }
        const std::vector<int> backward = {IDC_OUTPUT, IDC_SAVE_AS, IDC_TO_FULL, IDC_TO_HALF, IDC_LOAD, IDC_INPUT};
        for (int expected : backward) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            EXPECT_EQ(FocusedId(window), expected);
        }
        EXPECT_EQ(Bytes(window, IDC_INPUT), "") << "Tab leaves the box without typing into it";
    });
}

struct KeyCase {
    const char* name;
    int focus;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool ends;           // the window closes (IDCANCEL)
    const char* input;   // bytes afterwards, if still open
    const char* output;  // bytes afterwards, if still open
};

class KeyTest : public ConverterWindowTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTest, KeyDoesWhatTheFocusedControlDoes) {
    const KeyCase& c = GetParam();
    bool endedInside = false;
    const int result = Run([&](DialogWindow& window) {
        Type(Box(window, IDC_INPUT), "ab");
        window.SetItemText(IDC_OUTPUT, GbkString("xy"));
        window.Control(c.focus)->setFocus();
        Box(window, IDC_OUTPUT)->moveCursor(QTextCursor::End);
        const bool opened =
            WithModal([&] { QTest::keyClick(QApplication::focusWidget(), c.key, c.modifiers); }, [](QWidget*) {});
        EXPECT_FALSE(opened) << "no message box";
        endedInside = !window.isVisible();
        if (endedInside) return;
        EXPECT_EQ(Hex(Bytes(window, IDC_INPUT)), Hex(c.input));
        EXPECT_EQ(Hex(Bytes(window, IDC_OUTPUT)), Hex(Gbk(c.output)));
    });
    EXPECT_EQ(endedInside, c.ends);
    EXPECT_EQ(result, IDCANCEL);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyTest,
    ::testing::Values(
        KeyCase{"EnterInInputInsertsLineBreak", IDC_INPUT, Qt::Key_Return, Qt::NoModifier, false, "ab\r\n", "xy"},
        KeyCase{"EnterInOutputDoesNothing", IDC_OUTPUT, Qt::Key_Return, Qt::NoModifier, false, "ab", "xy"},
        KeyCase{"EnterOnFocusedButtonClicksIt", IDC_TO_FULL, Qt::Key_Return, Qt::NoModifier, false, "ab", "ａｂ"},
        KeyCase{"KeypadEnterOnFocusedButton", IDC_TO_HALF, Qt::Key_Enter, Qt::KeypadModifier, false, "ab", "ab"},
        KeyCase{"TypingInOutputChangesNothing", IDC_OUTPUT, Qt::Key_Z, Qt::NoModifier, false, "ab", "xy"},
        KeyCase{"TabInInputIsNoCharacter", IDC_INPUT, Qt::Key_Tab, Qt::NoModifier, false, "ab", "xy"},
        KeyCase{"EscInInputCloses", IDC_INPUT, Qt::Key_Escape, Qt::NoModifier, true, "", ""},
        KeyCase{"EscInOutputCloses", IDC_OUTPUT, Qt::Key_Escape, Qt::NoModifier, true, "", ""},
        KeyCase{"EscOnButtonCloses", IDC_SAVE_AS, Qt::Key_Escape, Qt::NoModifier, true, "", ""},
        KeyCase{"AltF4Closes", IDC_TO_HALF, Qt::Key_F4, Qt::AltModifier, true, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConverterWindowTest, CloseBoxEndsTheProgram) {
    bool hidden = false;
    const int result = Run([&](DialogWindow& window) {
        window.close();
        hidden = !window.isVisible();
    });
    EXPECT_TRUE(hidden);
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(ConverterWindowTest, WindowIsFixedCentredMinimizableMainWindow) {
    Run([&](DialogWindow& window) {
        EXPECT_EQ(window.windowTitle(), "Qelvar Ver. 1.0713");
        EXPECT_EQ(window.minimumSize(), window.size());
        EXPECT_EQ(window.maximumSize(), window.size());
        EXPECT_EQ(window.windowType(), Qt::Window) << "its own task-bar entry";
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_FALSE(window.windowIcon().isNull());
        const QPoint offset = window.frameGeometry().center() - window.screen()->availableGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2) << "centred on the screen";
    });
}

TEST_F(ConverterWindowTest, BoxesScrollSidewaysWithVerticalBarOnly) {
    Run([&](DialogWindow& window) {
        for (int id : {IDC_INPUT, IDC_OUTPUT}) {
            SCOPED_TRACE(id);
            QPlainTextEdit* box = Box(window, id);
            EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::NoWrap);
            EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            window.SetItemText(static_cast<unsigned>(id), GbkString(std::string(400, 'x')));
            box->moveCursor(QTextCursor::End);
            QApplication::processEvents();
            EXPECT_EQ(box->document()->firstBlock().layout()->lineCount(), 1) << "one line, not wrapped";
            EXPECT_GT(box->horizontalScrollBar()->value(), 0) << "scrolled sideways to the caret";
        }
        EXPECT_TRUE(Box(window, IDC_OUTPUT)->isReadOnly());
        EXPECT_FALSE(Box(window, IDC_INPUT)->isReadOnly());
    });
}

// Pixel places for a font whose dialog base units are 6 x 12 (9 pt 宋体, or
// AR PL UMing CN, at 96 dpi): x * 6 / 4 and y * 12 / 8, halves rounded up.
struct Place {
    int id;
    QRect rect;
};

TEST_F(ConverterWindowTest, LayoutInPixelsForKnownFont) {
    Run([&](DialogWindow& window) {
        ASSERT_EQ(window.Units().x, 6) << "font " << window.font().family().toStdString();
        ASSERT_EQ(window.Units().y, 12) << "font " << window.font().family().toStdString();
        EXPECT_EQ(window.size(), QSize(674, 513));
        const std::vector<Place> places = {
            {IDC_INPUT, {11, 35, 653, 189}},    {IDC_LOAD, {588, 11, 75, 21}},     {IDC_TO_HALF, {161, 242, 117, 29}},
            {IDC_TO_FULL, {333, 242, 117, 29}}, {IDC_SAVE_AS, {588, 285, 75, 21}}, {IDC_OUTPUT, {11, 309, 653, 189}},
        };
        for (const Place& place : places) EXPECT_EQ(window.Control(place.id)->geometry(), place.rect) << place.id;
        std::vector<QRect> labels;
        for (QLabel* label : window.findChildren<QLabel*>()) labels.push_back(label->geometry());
        const std::vector<QRect> expected = {
            {11, 15, 231, 12}, {11, 290, 231, 12}, {485, 260, 179, 12}, {485, 245, 156, 12}};
        EXPECT_EQ(labels, expected);
    });
}

// How the About box is opened and closed.
enum class Open { ContextMenu, AltSpaceThenA, F1 };
enum class Close { Enter, Escape, Button };

struct AboutCase {
    const char* name;
    Open open;
    Close close;
};

void OpenAbout(DialogWindow& window, Open how) {
    auto chooseAbout = [](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> actions = menu->actions();
        ASSERT_GE(actions.size(), 2);
        EXPECT_EQ(actions.last()->text(), QString::fromUtf8("关于(&A)..."));
        EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
        QTest::keyClick(menu, Qt::Key_A);
    };
    switch (how) {
        case Open::ContextMenu: {
            QWidget* label = window.findChildren<QLabel*>().value(0);
            WithPopup(
                [&] {
                    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
                    QApplication::sendEvent(label, &event);
                },
                chooseAbout);
            break;
        }
        case Open::AltSpaceThenA:
            WithPopup([&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space, Qt::AltModifier); },
                      chooseAbout);
            break;
        case Open::F1:
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            break;
    }
}

class AboutBoxTest : public ConverterWindowTest, public ::testing::WithParamInterface<AboutCase> {};

TEST_P(AboutBoxTest, OpensCentredOverWindowAndCloses) {
    const AboutCase& c = GetParam();
    Run([&](DialogWindow& window) {
        bool closed = false;
        const bool opened = WithModal([&] { OpenAbout(window, c.open); },
                                      [&](QWidget* widget) {
                                          auto* about = dynamic_cast<DialogWindow*>(widget);
                                          ASSERT_NE(about, nullptr);
                                          EXPECT_EQ(about->windowTitle(), QString::fromUtf8("关于"));
                                          EXPECT_EQ(about->parentWidget(), &window) << "owned by the converter window";
                                          EXPECT_TRUE(about->isModal());
                                          const QPoint offset =
                                              about->frameGeometry().center() - window.frameGeometry().center();
                                          EXPECT_LE(offset.manhattanLength(), 2) << "centred over the converter window";
                                          QStringList texts;
                                          bool hasIcon = false;
                                          for (QLabel* label : about->findChildren<QLabel*>()) {
                                              texts << label->text();
                                              hasIcon = hasIcon || !label->pixmap().isNull();
                                          }
                                          EXPECT_TRUE(texts.contains("Qelvar Ver.1.0713"));
                                          EXPECT_TRUE(hasIcon);
                                          auto* ok = qobject_cast<QPushButton*>(about->Control(IDOK));
                                          ASSERT_NE(ok, nullptr);
                                          EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
                                          EXPECT_TRUE(ok->isDefault());
                                          ASSERT_TRUE(WaitFor([about] { return about->isActiveWindow(); }));
                                          EXPECT_EQ(QApplication::focusWidget(), ok) << "the OK button has the focus";
                                          switch (c.close) {
                                              case Close::Enter:
                                                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                                                  break;
                                              case Close::Escape:
                                                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                                                  break;
                                              case Close::Button:
                                                  QTest::mouseClick(ok, Qt::LeftButton);
                                                  break;
                                          }
                                          closed = !about->isVisible();
                                      });
        EXPECT_TRUE(opened);
        EXPECT_TRUE(closed);
        EXPECT_TRUE(window.isVisible()) << "closing the About box leaves the program running";
    });
}

INSTANTIATE_TEST_SUITE_P(Cases, AboutBoxTest,
                         ::testing::Values(AboutCase{"ContextMenuThenEnter", Open::ContextMenu, Close::Enter},
                                           AboutCase{"AltSpaceThenAThenEscape", Open::AltSpaceThenA, Close::Escape},
                                           AboutCase{"F1ThenButton", Open::F1, Close::Button}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConverterWindowTest, AboutBoxLayoutInPixelsForKnownFont) {
    Run([&](DialogWindow& window) {
        WithModal([&] { OpenAbout(window, Open::F1); },
                  [&](QWidget* widget) {
                      auto* about = dynamic_cast<DialogWindow*>(widget);
                      ASSERT_NE(about, nullptr);
                      ASSERT_EQ(about->Units().x, 6);
                      ASSERT_EQ(about->Units().y, 12);
                      EXPECT_EQ(about->size(), QSize(353, 83));
                      EXPECT_EQ(about->Control(IDOK)->geometry(), QRect(267, 11, 75, 21));
                      std::vector<QRect> labels;
                      for (QLabel* label : about->findChildren<QLabel*>()) labels.push_back(label->geometry());
                      const std::vector<QRect> expected = {{17, 26, 32, 32}, {60, 15, 179, 12}, {60, 38, 179, 12}};
                      EXPECT_EQ(labels, expected) << "the icon takes the system's icon size";
                  });
    });
}

// Each control draws inside its window: opening an owned window must not
// turn them into platform windows of their own.
TEST_F(ConverterWindowTest, OpeningAboutBoxMakesNoControlANativeWindow) {
    Run([&](DialogWindow& window) {
        auto nativeControls = [&window] {
            int count = 0;
            for (QWidget* widget : window.findChildren<QWidget*>())
                count += !widget->isWindow() && widget->internalWinId();
            return count;
        };
        EXPECT_EQ(nativeControls(), 0);
        const bool opened = WithModal([&] { OpenAbout(window, Open::F1); },
                                      [&](QWidget*) { EXPECT_EQ(nativeControls(), 0) << "with the About box open"; });
        EXPECT_TRUE(opened);
        EXPECT_EQ(nativeControls(), 0);
    });
}

// The read-only box is drawn on the background of a disabled box, as on
// Windows; its text can still be selected and copied.
TEST_F(ConverterWindowTest, OutputBoxLooksReadOnlyAndCopies) {
    Run([&](DialogWindow& window) {
        window.SetItemText(IDC_INPUT, GbkString("ab"));
        window.SetItemText(IDC_OUTPUT, GbkString("xy"));
        auto background = [&window](int id) {
            QWidget* viewport = Box(window, id)->viewport();
            return viewport->grab().toImage().pixelColor(viewport->width() - 4, viewport->height() - 4);
        };
        EXPECT_EQ(background(IDC_INPUT), window.palette().color(QPalette::Active, QPalette::Base));
        EXPECT_EQ(background(IDC_OUTPUT), window.palette().color(QPalette::Disabled, QPalette::Base));
        EXPECT_NE(background(IDC_OUTPUT), background(IDC_INPUT));
        EditBox* output = Box(window, IDC_OUTPUT);
        output->setFocus();
        QTest::keyClick(output, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(output, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "xy");
    });
}

// AR PL UMing at 9 pt, standing in for 宋体, draws letters and hanzi alike in
// solid strokes: no pixel of a label is a shade between text and background.
TEST_F(ConverterWindowTest, StandInFontDrawsSolidStrokes) {
    Run([&](DialogWindow& window) {
        if (window.font().family() != "AR PL UMing CN") GTEST_SKIP() << "AR PL UMing CN is not installed";
        for (QLabel* label : window.findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;
            const QImage image = label->grab().toImage();
            const QRgb background = label->palette().color(QPalette::Window).rgb();
            const QRgb text = label->palette().color(QPalette::WindowText).rgb();
            int shades = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    shades += image.pixel(x, y) != background && image.pixel(x, y) != text;
            }
            EXPECT_EQ(shades, 0) << label->text().toStdString();
        }
    });
}

TEST_F(ConverterWindowTest, RightClickInEditBoxShowsItsOwnMenu) {
    Run([&](DialogWindow& window) {
        QWidget* viewport = Box(window, IDC_INPUT)->viewport();
        const bool opened = WithPopup(
            [&] {
                QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(viewport, &event);
            },
            [](QWidget* popup) {
                for (QAction* action : popup->actions()) EXPECT_NE(action->text(), QString::fromUtf8("关于(&A)..."));
            });
        EXPECT_TRUE(opened);
    });
}

// A text of many short lines, larger than what the box shows at once.
std::string ManyLines(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i) + " \xC8\xAB\xBD\xC7 abc\r\n";  // 全角
    return text;
}

TEST_F(ConverterWindowTest, LongTextIsReadBackWhileStillFilling) {
    Run([&](DialogWindow& window) {
        const std::string text = ManyLines(60000);
        window.SetItemText(IDC_INPUT, GbkString(text));
        EditBox* box = Box(window, IDC_INPUT);
        EXPECT_TRUE(box->IsFilling());
        EXPECT_EQ(Bytes(window, IDC_INPUT), text);
        ASSERT_TRUE(WaitFor([box] { return !box->IsFilling(); }));
        EXPECT_EQ(box->document()->toRawText(),
                  qt::ToBoxText(text).replace(QLatin1Char('\n'), QChar(QChar::ParagraphSeparator)));
    });
}

TEST_F(ConverterWindowTest, KeyInFillingBoxFinishesFillFirst) {
    Run([&](DialogWindow& window) {
        const std::string text = ManyLines(60000);
        window.SetItemText(IDC_INPUT, GbkString(text));
        EditBox* box = Box(window, IDC_INPUT);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        EXPECT_FALSE(box->IsFilling());
        Type(box, "z");
        EXPECT_EQ(Bytes(window, IDC_INPUT), text + "z");
    });
}

TEST_F(ConverterWindowTest, LongTextConvertsWholly) {
    Run([&](DialogWindow& window) {
        const std::string text = ManyLines(60000);
        window.SetItemText(IDC_INPUT, GbkString(text));
        QTest::mouseClick(Button(window, IDC_TO_FULL), Qt::LeftButton);
        GbkString trimmed(text);
        trimmed.TrimRight();
        EXPECT_TRUE(GbkString(Bytes(window, IDC_OUTPUT)) == ToFullWidth(trimmed));
    });
}

TEST_F(ConverterWindowTest, EditingKeepsBytesOutsideCodePage) {
    Run([&](DialogWindow& window) {
        const std::string text = "\x80\xFF\x81\r\nA\x81\x7F\r\n\xFE";
        window.SetItemText(IDC_INPUT, GbkString(text));
        QPlainTextEdit* box = Box(window, IDC_INPUT);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
        Type(box, "x");
        EXPECT_EQ(Hex(Bytes(window, IDC_INPUT)), Hex("x" + text));
    });
}

}  // namespace
}  // namespace tornix
