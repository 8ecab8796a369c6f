// The keyboard: standard shortcuts, mnemonics in the menus, and a comment
// editor that Tab leaves as it leaves every other field.

#include "app/keyboard.h"

#include "app/mainwindow.h"

#include "layout/mnemonics.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTextEdit>

namespace {

// Tab moves the focus on; Ctrl+Tab still puts a tab into the text, as in
// Qt's own editors.
class TTabInserter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            auto *edit = qobject_cast<QTextEdit *>(watched);
            if (edit && key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
                edit->textCursor().insertText(QStringLiteral("\t"));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// The platform's own key where it has one, else the common one.
QKeySequence Standard(QKeySequence::StandardKey key, const QKeySequence &otherwise)
{
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? otherwise : keys.first();
}

void MarkMnemonics(QList<QAction *> actions)
{
    QList<QAction *> named;
    QStringList texts;
    for (QAction *action : actions) {
        if (action->isSeparator() || action->text().isEmpty())
            continue;
        named << action;
        texts << action->text();
        if (QMenu *menu = action->menu())
            MarkMnemonics(menu->actions());
    }
    const QStringList marked = WithMnemonics(texts);
    for (int i = 0; i < named.size(); ++i) {
        if (named.at(i)->text() == marked.at(i))
            continue;
        if (QMenu *menu = named.at(i)->menu())
            menu->setTitle(marked.at(i));
        else
            named.at(i)->setText(marked.at(i));
    }
}

} // namespace

void SetUpKeys(QTextEdit *komentarz, QAction *openDataBase, QAction *openPomiar, QAction *saveAs, QAction *quit)
{
    komentarz->setTabChangesFocus(true);
    komentarz->installEventFilter(new TTabInserter(komentarz));

    openDataBase->setShortcut(Standard(QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)));
    openPomiar->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    saveAs->setShortcut(Standard(QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)));
    quit->setShortcut(Standard(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
}

void MainWindow::SetMnemonics()
{
    MarkMnemonics(menuBar()->actions());
}
