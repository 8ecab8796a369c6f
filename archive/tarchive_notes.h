#ifndef TARCHIVE_NOTES_H
#define TARCHIVE_NOTES_H

#include "archive/tarchive.h"

#include <QString>
#include <QVector>

/// How many of `notes` there are of each reason, as "reason: count; ..."
/// (reasons in their order), for a summary where listing them would not do.
QString ArchiveNoteCounts(const QVector<TArchiveImportNote> &notes);

#endif // TARCHIVE_NOTES_H
