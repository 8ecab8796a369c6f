#ifndef SHOWNPOMIAR_H
#define SHOWNPOMIAR_H

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
};

#endif // SHOWNPOMIAR_H
