#include "database/komentarz.h"

QString KomentarzToStore(const QString &edited, const QString &stored)
{
    for (int i = 0; i < stored.size(); ++i) {
        if (stored.at(i) == QLatin1Char('\n'))
            break;
        if (stored.at(i) == QLatin1Char('\r')) {
            const bool crlf = i + 1 < stored.size() && stored.at(i + 1) == QLatin1Char('\n');
            QString text = edited;
            return text.replace(QLatin1Char('\n'), crlf ? QStringLiteral("\r\n") : QStringLiteral("\r"));
        }
    }
    return edited;
}
