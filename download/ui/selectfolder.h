#ifndef SELECTFOLDER_H
#define SELECTFOLDER_H

#include <QString>

/// Lets the user choose a folder, starting in `startFolder`. Returns the
/// chosen folder's absolute path followed by "/", or "NONE" when the
/// choice was cancelled.
QString SelectFolder(QString startFolder);

#endif // SELECTFOLDER_H
