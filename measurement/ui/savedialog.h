#ifndef SAVEDIALOG_H
#define SAVEDIALOG_H

#include <QString>
#include <QVector>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

/// One file type a save dialog offers.
struct TSaveFilter
{
    QString name;   ///< as the dialog lists it, e.g. "Plik CSV (*.csv)"
    QString suffix; ///< given to a name typed without one, e.g. "csv" (no dot)
};

/// What the user chose in the save dialog.
struct TSaveChoice
{
    QString path;    ///< the file to write; empty when the dialog was cancelled
    int filter = -1; ///< index of the filter selected when the dialog closed
};

/// Asks for a file to save with the platform's save dialog, starting at
/// `proposal` (a folder and a file name) with the first of `filters`
/// selected. A name typed without a suffix gets the selected filter's
/// suffix, as the Windows dialog does by itself; a name typed with a
/// suffix keeps it. Replacing an existing file is confirmed by the dialog.
TSaveChoice AskSaveFile(QWidget *parent, const QString &caption, const QString &proposal,
                        const QVector<TSaveFilter> &filters);

/// Tells the user that `fileName` could not be written and why: the one
/// message of every save that failed.
void ShowCannotSave(QWidget *parent, const QString &fileName, const QString &reason);

#endif // SAVEDIALOG_H
