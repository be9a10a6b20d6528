#include "ui/framework/qt/file_filter.h"

#include "ui/framework/qt/box_text.h"

namespace tornix::qt {

QStringList ToQtNameFilters(std::string_view filter) {
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList entries;
    // The list ends at the first empty name ("||"); a name without its
    // pattern field is incomplete and dropped.
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) pattern = pattern.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty()) continue;
        entries.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return entries;
}

}  // namespace tornix::qt
