#include "ui/framework/qt/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <cstdint>

#include "ui/framework/qt/box_text.h"

namespace tornix::qt {

namespace {

const QString kSongTi = QString::fromUtf8("\xE5\xAE\x8B\xE4\xBD\x93");  // 宋体
const QStringList kSongTiNames = {kSongTi, QStringLiteral("SimSun"), QStringLiteral("NSimSun")};
// Song/Ming-style faces that stand in for SimSun, best first.
const QStringList kSongTiStandIns = {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL SungtiL GB"),
                                     QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC")};

}  // namespace

BaseUnits DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(alphabet / 26 + 1) / 2, metrics.height()};
}

int MulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = (c < 0 ? -c : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (c < 0 ? -c : c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

QRect MapDialogRect(int x, int y, int cx, int cy, BaseUnits units) {
    return {MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(cx, units.x, 4), MulDiv(cy, units.y, 8)};
}

QSize MapDialogSize(int cx, int cy, BaseUnits units) {
    return {MulDiv(cx, units.x, 4), MulDiv(cy, units.y, 8)};
}

QString ChooseFontFamily(const QString& wanted, const QStringList& installed, const QStringList& chinese) {
    const bool songTi = kSongTiNames.contains(wanted, Qt::CaseInsensitive);
    for (const QString& name : songTi ? kSongTiNames : QStringList{wanted}) {
        if (installed.contains(name, Qt::CaseInsensitive)) return name;
    }
    if (songTi) {
        for (const QString& name : kSongTiStandIns) {
            if (installed.contains(name, Qt::CaseInsensitive)) return name;
        }
    }
    return chinese.isEmpty() ? wanted : chinese.first();
}

QFont DialogFont(const DialogTemplate& dialog) {
    const QString family = ChooseFontFamily(ToQString(dialog.fontName), QFontDatabase::families(),
                                            QFontDatabase::families(QFontDatabase::SimplifiedChinese));
    QFont font(family);
    font.setPointSize(dialog.fontPointSize);
    font.setItalic(dialog.fontItalic);
    if (dialog.fontWeight > 0) font.setWeight(QFont::Weight(dialog.fontWeight));
    return font;
}

}  // namespace tornix::qt
