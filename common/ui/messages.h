#ifndef MESSAGES_H
#define MESSAGES_H

#include <QMessageBox>
#include <QString>

// The two kinds of message box the program shows: a question answered with
// "TAK" or "NIE", and a problem report with an OK button. Both are built
// without a parent unless one is given, as every box of the program is.

// Texts are shown as plain text: they often quote a name, a comment or a
// path from a database, which must not be taken as markup.

/// Asks `text` under `title` with the buttons "TAK" and "NIE"; true when the
/// user chose "TAK".
bool AskTakNie(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *parent = nullptr);

/// The answers of AskTakNieAnuluj.
enum TOdpowiedz { OdpowiedzTak, OdpowiedzNie, OdpowiedzAnuluj };

/// As AskTakNie, with a third button "Anuluj" that leaves things as they
/// were (closing the box answers so too).
TOdpowiedz AskTakNieAnuluj(QMessageBox::Icon icon, const QString &title, const QString &text);

/// Shows `text` under `title` (either may be empty, as some of the
/// program's boxes have neither title nor icon) and waits for OK; over
/// `parent` when given.
void ShowProblem(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *parent = nullptr);

/// `text` as a tool tip shows it: escaped, so that a name or a comment such
/// as "<img src=...>" is shown as typed and never loads or renders
/// anything; line breaks kept. Empty for an empty text (no tool tip).
QString PlainToolTip(const QString &text);

#endif // MESSAGES_H
