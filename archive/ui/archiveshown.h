#ifndef ARCHIVESHOWN_H
#define ARCHIVESHOWN_H

#include "archive/archivesource.h"

#include <QObject>

/// The archive while the main window's tables show it: its own connection
/// (the meter's default connection stays closed meanwhile) and what the
/// archive knows of the measurement shown, as the windows' source of
/// measurements. A child of the main window.
class TArchiveShown : public QObject, public TArchiveSource
{
public:
    explicit TArchiveShown(QObject *parent)
        : QObject(parent)
    {
    }
};

#endif // ARCHIVESHOWN_H
