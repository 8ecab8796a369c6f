// Keyboard mnemonics chosen from the texts themselves, so that every
// language gets them without its translator placing '&' by hand.

#include "layout/mnemonics.h"

#include <QSet>

namespace {

// Position of the mnemonic's letter in `text`, or -1.
int MnemonicAt(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return i + 1;
        ++i; // a literal ampersand
    }
    return -1;
}

QChar Key(QChar c)
{
    return c.toCaseFolded();
}

} // namespace

QStringList WithMnemonics(const QStringList &texts)
{
    QSet<QChar> used;
    for (const QString &text : texts) {
        const int at = MnemonicAt(text);
        if (at >= 0)
            used.insert(Key(text.at(at)));
    }
    QStringList result;
    for (const QString &text : texts) {
        if (MnemonicAt(text) >= 0 || text.isEmpty()) {
            result << text;
            continue;
        }
        int chosen = -1;
        // Initials first, then any letter or digit.
        for (int pass = 0; pass < 2 && chosen < 0; ++pass) {
            for (int i = 0; i < text.size(); ++i) {
                const QChar c = text.at(i);
                if (!c.isLetterOrNumber() || used.contains(Key(c)) || c == QLatin1Char('&'))
                    continue;
                const bool initial = i == 0 || !text.at(i - 1).isLetterOrNumber();
                if (pass == 0 && !initial)
                    continue;
                if (i > 0 && text.at(i - 1) == QLatin1Char('&'))
                    continue;
                chosen = i;
                break;
            }
        }
        if (chosen < 0) {
            result << text;
            continue;
        }
        used.insert(Key(text.at(chosen)));
        result << text.left(chosen) + QLatin1Char('&') + text.mid(chosen);
    }
    return result;
}
