#include "historia/ui/historiawindows.h"

#include "historia/ui/dialoghistoria.h"

DialogHistoria *THistoriaWindows::Find(qint64 objectId) const
{
    return windows.value(objectId);
}

void THistoriaWindows::Add(qint64 objectId, DialogHistoria *window)
{
    windows.insert(objectId, window);
}

void THistoriaWindows::KomentarzSaved(qint64 pomiarId, const QString &komentarz)
{
    for (const QPointer<DialogHistoria> &window : qAsConst(windows)) {
        if (window)
            window->UpdateKomentarz(pomiarId, komentarz);
    }
}

void THistoriaWindows::CloseAll()
{
    const QList<QPointer<DialogHistoria>> open = windows.values();
    windows.clear();
    for (const QPointer<DialogHistoria> &window : open)
        delete window.data();
}

QVector<DialogHistoria *> THistoriaWindows::All() const
{
    QVector<DialogHistoria *> open;
    for (const QPointer<DialogHistoria> &window : windows) {
        if (window)
            open.append(window);
    }
    return open;
}
