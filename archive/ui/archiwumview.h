#ifndef ARCHIWUMVIEW_H
#define ARCHIWUMVIEW_H

#include "archive/tarchive.h"

#include <QObject>

/// The archive while the main window's tables show it: its own connection
/// (the meter's default connection stays closed meanwhile) and what the
/// archive knows of the measurement shown. A child of the main window.
class TArchiwumView : public QObject
{
public:
    explicit TArchiwumView(QObject *parent)
        : QObject(parent)
    {
    }

    TArchive archive;
    TArchivePomiarInfo shown; // the measurement shown last (its meter, for the report)
    bool bShown = false;      // `shown` belongs to a measurement read from the archive
};

#endif // ARCHIWUMVIEW_H
