#ifndef HISTORIAWINDOWS_H
#define HISTORIAWINDOWS_H

#include <QMap>
#include <QPointer>
#include <QString>
#include <QVector>

class DialogHistoria;

/// The open history windows, one per object id: the main window asks here
/// before it opens another, tells them of a comment saved, and closes them
/// with their database. The windows themselves are owned elsewhere (they
/// delete themselves on close); a closed one is simply gone from here.
class THistoriaWindows
{
public:
    /// The open window of `objectId`, or nullptr.
    DialogHistoria *Find(qint64 objectId) const;
    void Add(qint64 objectId, DialogHistoria *window);
    /// Every open window.
    QVector<DialogHistoria *> All() const;
    /// Shows `komentarz`, just saved for measurement `pomiarId`, in every open window.
    void KomentarzSaved(qint64 pomiarId, const QString &komentarz);
    /// Deletes every open window (the database they read is going).
    void CloseAll();

private:
    QMap<qint64, QPointer<DialogHistoria>> windows;
};

#endif // HISTORIAWINDOWS_H
