// The file type filter of the choosers, "name|patterns|name|patterns||" with
// patterns separated by ';', in the form QFileDialog takes: one entry per pair,
// "name (pattern pattern ...)". With QFileDialog::HideNameFilterDetails the
// chooser shows each entry by its name alone.
#pragma once

#include <QStringList>
#include <string_view>

namespace tornix::qt {

// Example: "Text (*.txt;*.htm)|*.txt;*.htm|All|*.*||" gives
// {"Text (*.txt;*.htm) (*.txt *.htm)", "All (*.*)"}. An entry without
// patterns is left out; an empty filter gives no entries.
QStringList ToQtNameFilters(std::string_view filter);

}  // namespace tornix::qt
