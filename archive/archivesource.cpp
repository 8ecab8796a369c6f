// The archive as the windows read it: the same questions as the meter's
// database answers (objects, one object's measurements, one row with its
// record, a history, a comment save, the meter of a row).

#include "archive/archivesource.h"

#include <QDir>
#include <QSqlQueryModel>

QSqlQueryModel *TArchiveSource::ObiektyModel(QString *errorText)
{
    return archive.ObiektyModel(errorText);
}

TSourceWarning TArchiveSource::Damage(const QString &reason) const
{
    return TSourceWarning{tr("Błąd!"),
                          tr("Nie wszystko w archiwum daje się odczytać; to, co widać, może być niepełne.\n%1\n\n%2")
                              .arg(QDir::toNativeSeparators(archive.Path()), reason)};
}

QSqlQueryModel *TArchiveSource::PomiaryList(qint64 objectId, TSourceWarning *warning)
{
    QString reason;
    QSqlQueryModel *model = archive.PomiaryModel(objectId, &reason);
    // The rows that could be read are listed, but never as if they were all.
    if (!reason.isEmpty())
        *warning = Damage(reason);
    return model;
}

int TArchiveSource::ReadPomiar(qint64 id, TPomiarRow *row, TDataPomiar *rec, TPomiarRead *read)
{
    *read = TPomiarRead();
    bShown = false;
    if (id < 0)
        return int(id);
    TPomiarRow readRow;
    TArchivePomiarInfo info;
    if (!archive.ReadRow(id, &readRow, &info)) {
        if (!archive.LastErrorText().isEmpty())
            read->warning = Damage(archive.LastErrorText());
        return LoadPomiarMissing;
    }
    *row = readRow;
    read->rowRead = true;
    const int result = archive.ReadRecord(id, rec);
    // The archive has no folder to look in: it knows what its import found.
    read->dataFile = result == ArchiveOk         ? DataFileOk
                     : result == ArchiveNotFound ? RecordlessReason(info)
                                                 : DataFileUnreadable;
    if (result == ArchiveDamaged) {
        read->warning = TSourceWarning{
            tr("Błąd!"), tr("Zapis pomiaru w archiwum jest uszkodzony: nie zgadza się z sumą kontrolną. "
                            "Pomiar nie zostanie pokazany.")
                             + QLatin1Char('\n') + archive.LastErrorText()};
    } else if (result != ArchiveOk && result != ArchiveNotFound) {
        read->warning = Damage(archive.LastErrorText());
    }
    if (result != ArchiveOk)
        return LoadPomiarMissing;
    shown = info;
    bShown = true;
    return LoadPomiarOk;
}

DataFileResult TArchiveSource::RecordlessReason(const TArchivePomiarInfo &info)
{
    // The import that brought the row noted why its record stayed behind.
    const QString meterId = QString::number(info.iMeterPomiarId);
    for (const TArchiveImportNote &note : archive.ImportNotes(info.iImportId)) {
        if (!note.RowKept() || note.qsPomiarId != meterId || note.qsSource != info.qsSource)
            continue;
        return note.iReason == ReasonDataFileShort        ? DataFileShort
               : note.iReason == ReasonDataFileUnreadable ? DataFileUnreadable
                                                          : DataFileMissing;
    }
    return DataFileMissing;
}

QString TArchiveSource::KomentarzQuestion() const
{
    return tr("Pole komentarza uległo zmianie. Zapisać komentarz w archiwum?");
}

bool TArchiveSource::SaveKomentarz(qint64 id, const QString &komentarz, QString *errorText)
{
    if (autor)
        archive.SetAutor(autor(true));
    if (archive.SaveKomentarz(id, komentarz) == ArchiveOk) {
        if (saved)
            saved();
        return true;
    }
    *errorText = archive.LastErrorText();
    return false;
}

bool TArchiveSource::ReadHistoria(qint64 objectId, QVector<THistoriaRow> *rows, THistoriaMeters *meters,
                                  QString *errorText)
{
    *meters = THistoriaMeters();
    meters->perRow = true;
    return archive.ReadHistoria(objectId, rows, &meters->rows, errorText);
}

QString TArchiveSource::MeterValue(qint64 pomiarId, const QString &column)
{
    // The archive keeps the meter's identity per measurement, not its
    // calibration offsets or info text: those read as the meter's NULL.
    const TArchiveMeter &meter = shown.meter;
    const QString value = !bShown || pomiarId < 0                 ? QString()
                          : column == QLatin1String("serial_zym")      ? meter.qsSerial
                          : column == QLatin1String("hw")              ? meter.qsHw
                          : column == QLatin1String("soft_rpi")        ? meter.qsSoftRpi
                          : column == QLatin1String("system_rpi")      ? meter.qsSystemRpi
                          : column == QLatin1String("firmware_cortex") ? meter.qsFirmware
                                                                       : QString();
    return value.isNull() ? QStringLiteral("NULL") : value;
}

void TArchiveSource::ReportMeter(qint64 pomiarId, QString *serial, QString *hw, QString *firmware)
{
    // A measurement opened from a file while the archive is shown has no meter.
    if (!bShown || pomiarId < 0)
        return;
    *serial = shown.meter.qsSerial;
    *hw = shown.meter.qsHw;
    *firmware = shown.meter.qsFirmware;
}
