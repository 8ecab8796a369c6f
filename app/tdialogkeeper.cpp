#include "app/tdialogkeeper.h"

#include <QWidget>

TDialogKeeper::~TDialogKeeper()
{
    // Take each one out first: deleting a window may delete others that are
    // its children, and their guarded pointers turn null on the way.
    while (!windows.isEmpty()) {
        QPointer<QWidget> window = windows.takeLast();
        delete window.data();
    }
}

void TDialogKeeper::Keep(QWidget *window)
{
    if (!window)
        return;
    // Forget windows deleted in the meantime, so the list only holds live ones.
    windows.removeAll(QPointer<QWidget>());
    for (const QPointer<QWidget> &kept : windows) {
        if (kept.data() == window)
            return;
    }
    windows.append(QPointer<QWidget>(window));
}

void TDialogKeeper::CloseAll()
{
    const QList<QPointer<QWidget>> open = windows;
    for (const QPointer<QWidget> &window : open) {
        if (!window.isNull())
            window->close();
    }
}

int TDialogKeeper::Count() const
{
    int alive = 0;
    for (const QPointer<QWidget> &kept : windows) {
        if (!kept.isNull())
            ++alive;
    }
    return alive;
}
