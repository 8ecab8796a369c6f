#ifndef KOMENTARZ_H
#define KOMENTARZ_H

#include <QString>

/// The comment to store for `edited`, the plain text of the comment editor,
/// whose line ends are all "\n", when the row held `stored`: the line ends
/// become those of `stored` ("\r\n" or a lone "\r" when its first line end
/// is one), so that a comment written elsewhere keeps its line ends through
/// an edit.
QString KomentarzToStore(const QString &edited, const QString &stored);

#endif // KOMENTARZ_H
