#ifndef ARCHIVESOURCE_H
#define ARCHIVESOURCE_H

#include "archive/tarchive.h"
#include "database/pomiarsource.h"

#include <QCoreApplication>

#include <functional>

/// The archive as the windows' source of measurements: its connection and
/// what it knows of the measurement read last (its meter, for the report
/// and the calculator). A comment saved here is a new version in the
/// archive; the meter's database is never written from here.
class TArchiveSource : public TPomiarSource
{
    // Its texts are the main window's, in that window's translation context.
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    TArchive archive;
    TArchivePomiarInfo shown; // the measurement read last (its meter, for the report)
    bool bShown = false;      // `shown` belongs to a measurement whose record was read
    /// The author's name of what is written (asked once when `ask`); none: the archive's own.
    std::function<QString(bool ask)> autor;
    /// Told after a comment was saved: the entries waiting for the server have changed.
    std::function<void()> saved;

    bool IsOpen() override { return archive.IsOpen(); }
    bool Busy() override { return false; }
    QSqlQueryModel *ObiektyModel(QString *errorText = nullptr) override;
    QSqlQueryModel *PomiaryList(qint64 objectId, TSourceWarning *warning) override;
    int ReadPomiar(qint64 id, TPomiarRow *row, TDataPomiar *rec, TPomiarRead *read) override;
    QString KomentarzQuestion() const override;
    bool SaveKomentarz(qint64 id, const QString &komentarz, QString *errorText) override;
    bool ReadHistoria(qint64 objectId, QVector<THistoriaRow> *rows, THistoriaMeters *meters,
                      QString *errorText) override;
    QString MeterValue(qint64 pomiarId, const QString &column) override;
    void ReportMeter(qint64 pomiarId, QString *serial, QString *hw, QString *firmware) override;

private:
    /// That the archive could not be read in full, and why.
    TSourceWarning Damage(const QString &reason) const;
    /// Why the import kept the row of `info` without its record, as a data file's read would say it.
    DataFileResult RecordlessReason(const TArchivePomiarInfo &info);
};

#endif // ARCHIVESOURCE_H
