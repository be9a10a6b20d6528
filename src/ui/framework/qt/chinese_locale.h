// Qt's own windows in Chinese (PRC) in every locale the program runs in: the
// choosers, their questions and the boxes' menus take Qt's Chinese
// translations, and sizes, dates and file types are written as in zh_CN.
#pragma once

namespace tornix::qt {

// Installs Qt's Chinese translations (when they are installed) and makes
// zh_CN the default locale. Call it once the application object exists.
void UseChineseForQt();

}  // namespace tornix::qt
