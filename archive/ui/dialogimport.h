#ifndef DIALOGIMPORT_H
#define DIALOGIMPORT_H

#include "archive/tarchive.h"

#include <QDialog>
#include <QString>
#include <QVector>

QT_BEGIN_NAMESPACE
class QEvent;
class QLabel;
class QTableWidget;
QT_END_NAMESPACE

/// The archive's import log: every import (newest first) with what it
/// brought, and for the one selected its summary (new, already archived,
/// conflicts, refused) and every refusal or conflict with its reason. It is
/// also the summary shown when an import ends. Read-only.
class DialogImport : public QDialog
{
    Q_OBJECT

public:
    explicit DialogImport(QWidget *parent = nullptr);

    /// Reads the log of the archive at `archivePath` again and selects
    /// import `importId` (0 or an unknown id: the newest).
    void ShowLog(const QString &archivePath, qint64 importId);
    /// The import selected, 0 when the log is empty.
    qint64 SelectedImport() const;
    /// The summary of the import selected, as shown.
    QString SummaryText() const;
    /// Number of notes (refusals, conflicts) of the import selected; the
    /// table lists the first thousand, the summary counts them all.
    int NoteCount() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void RetranslateTexts();
    void FillLog();
    void ShowSelected();

    QString qsArchive;
    QString qsError; // why the log could not be read, empty when it could
    QVector<TArchiveImportLogEntry> entries;
    QVector<TArchiveImportNote> notes; // of the import selected

    QTableWidget *tW_Importy;
    QLabel *label_Podsumowanie;
    QTableWidget *tW_Uwagi;
};

#endif // DIALOGIMPORT_H
