#include "database/safepath.h"

#include <QStringRef>

bool IsSafeRelativeName(const QString &name)
{
    if (name.isEmpty() || name.contains(QChar(0)))
        return false;
    // Both separators count: the meter's files are also opened on Windows.
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return false;
    // "C:x" is relative to the current folder of drive C, not to ours.
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        return false;

    int depth = 0;
    bool namesFile = false;
    // Walked part by part in place: this runs at every display.
    const int n = name.size();
    for (int start = 0; start <= n;) {
        int end = start;
        while (end < n && name.at(end) != QLatin1Char('/') && name.at(end) != QLatin1Char('\\'))
            ++end;
        const QStringRef part = name.midRef(start, end - start);
        start = end + 1;
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (--depth < 0)
                return false;
            namesFile = false;
            continue;
        }
        ++depth;
        namesFile = true;
    }
    // The last part must name something below the folder, not the folder itself.
    return namesFile && !name.endsWith(QLatin1Char('/')) && !name.endsWith(QLatin1Char('\\'));
}
