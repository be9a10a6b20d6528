// Dialog units and the dialog font. A horizontal dialog unit is a quarter of
// the font's average width of A-Z and a-z, a vertical one an eighth of its
// character height; positions and sizes are rounded as Windows rounds them.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "res/dialog_templates.h"

namespace tornix::qt {

struct BaseUnits {
    int x;  // average character width in pixels
    int y;  // character height in pixels
};

BaseUnits DialogBaseUnits(const QFont& font);

// (a * b) / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c);

QRect MapDialogRect(int x, int y, int cx, int cy, BaseUnits units);
QSize MapDialogSize(int cx, int cy, BaseUnits units);

// The family to use for a template's font: the named one, or for "宋体"
// (SimSun) a Song/Ming-style font in its place, else any font that holds
// the characters of code page 936, else the named one and Qt's fallback.
QString ChooseFontFamily(const QString& wanted, const QStringList& installed, const QStringList& chinese);

// The template's font, as installed on this system; AR PL UMing, standing
// in for 宋体, is drawn without antialiasing at the sizes of its bitmaps.
QFont DialogFont(const DialogTemplate& dialog);

}  // namespace tornix::qt
