#ifndef SHOWNPOMIAR_H
#define SHOWNPOMIAR_H

#include <QObject>
#include <QString>
#include <QtGlobal>

/// The measurement the main window shows, as one record: the result area,
/// the comment save, the export and the report all read it, so they cannot
/// name different measurements.
struct TShownPomiar
{
    qint64 pomiarId = -1; // pomiar_id; -1 for none, or one opened from a file (no row for a comment)
    qint64 obiektId = -1; // obiekt_id of its object; -1 when not known
    QString obiekt;       // its object's name; empty for one opened from a file
    QString plik;         // its data file's name; empty until the file was read
    QString komentarz;    // its comment as the row holds it, line ends included
};

/// Announces each change of the measurement shown, so that what follows it
/// (the verdict line) subscribes here instead of being told by the window:
/// whatever road changed it (a click, a forgotten row, a closed source, a
/// file opened), the followers see the same measurement.
class TShownChanges : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    /// `shown` is the measurement shown now; its pomiarId is -1 when there
    /// is none (or one opened from a file).
    void Changed(const TShownPomiar &shown);
};

#endif // SHOWNPOMIAR_H
