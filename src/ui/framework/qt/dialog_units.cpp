#include "ui/framework/qt/dialog_units.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <cstdint>

#include "ui/framework/qt/box_text.h"

namespace tornix::qt {

namespace {

const QString kSongTi = QString::fromUtf8("\xE5\xAE\x8B\xE4\xBD\x93");  // 宋体
const QStringList kSongTiNames = {kSongTi, QStringLiteral("SimSun"), QStringLiteral("NSimSun")};
// Song/Ming-style faces that stand in for SimSun, best first. AR PL UMing CN
// has SimSun's metrics: 6 x 12 dialog base units at 9 pt, so the windows
// have their Windows sizes, and a half-width letter is half a hanzi wide.
// Noto Serif CJK SC draws evenly but has proportional letters and a taller
// line (8 x 17 units: every window a third larger).
const QString kUming = QStringLiteral("AR PL UMing CN");
const QStringList kSongTiStandIns = {kUming, QStringLiteral("AR PL SungtiL GB"), QStringLiteral("Noto Serif CJK SC"),
                                     QStringLiteral("Source Han Serif SC")};

// The pixel sizes at which SimSun, and AR PL UMing, carry bitmaps of their
// hanzi (9 pt is 12 pixels at 96 dpi).
constexpr int kBitmapSizeMin = 11;
constexpr int kBitmapSizeMax = 16;

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
    // At the sizes of its bitmaps, AR PL UMing's Latin letters are outlines
    // that antialiasing draws thin and grey next to the solid hanzi; drawn
    // without it, letters and hanzi are solid alike, as SimSun's bitmaps are.
    const int pixels = QFontInfo(font).pixelSize();
    if (family.compare(kUming, Qt::CaseInsensitive) == 0 && pixels >= kBitmapSizeMin && pixels <= kBitmapSizeMax) {
        font.setStyleStrategy(QFont::NoAntialias);
    }
    return font;
}

}  // namespace tornix::qt
