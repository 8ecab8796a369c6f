#ifndef KEYBOARD_H
#define KEYBOARD_H

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QAction;
class QTextEdit;
QT_END_NAMESPACE

/// The main window's keys: Tab leaves the comment editor `komentarz` as it
/// leaves every other field (Ctrl+Tab puts a tab into the text), and the
/// commands get the platform's standard shortcuts where it has them.
void SetUpKeys(QTextEdit *komentarz, QAction *openDataBase, QAction *openPomiar, QAction *saveAs, QAction *quit);

#endif // KEYBOARD_H
