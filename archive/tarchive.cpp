#include "archive/tarchive.h"

#include <QObject>
#include <QSqlQueryModel>

struct TArchive::TPrivate
{
    QString qsPath;
    QString qsError;
};

QString DefaultArchivePath(const QString &programFolder)
{
    QString folder = programFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QStringLiteral("DATA/archiwum.db");
}

QString ArchiveReasonText(int) { return QString(); }

TArchive::TArchive() : d(new TPrivate) {}
TArchive::~TArchive() { delete d; }
int TArchive::Open(const QString &) { return ArchiveOpenFailed; }
void TArchive::Close() {}
bool TArchive::IsOpen() const { return false; }
QString TArchive::Path() const { return d->qsPath; }
QString TArchive::LastErrorText() const { return d->qsError; }
int TArchive::SchemaVersion() { return 0; }
int TArchive::ImportDatabase(const QString &, TArchiveImportSummary *, const TArchiveProgress &) { return ArchiveNotOpen; }
int TArchive::ImportFolder(const QString &, TArchiveImportSummary *, const TArchiveProgress &) { return ArchiveNotOpen; }
QVector<TArchiveImportLogEntry> TArchive::ImportLog() { return {}; }
QVector<TArchiveImportNote> TArchive::ImportNotes(qint64) { return {}; }
QVector<TArchiveObiekt> TArchive::Obiekty() { return {}; }
QSqlQueryModel *TArchive::ObiektyModel(QString *) { return nullptr; }
qint64 TArchive::ObjectId(const QString &) { return 0; }
QSqlQueryModel *TArchive::PomiaryModel(qint64) { return new QSqlQueryModel; }
bool TArchive::ReadRow(qint64, TPomiarRow *, TArchivePomiarInfo *) { return false; }
int TArchive::ReadRecord(qint64, TDataPomiar *) { return ArchiveNotFound; }
bool TArchive::ReadHistoria(qint64, QVector<THistoriaRow> *, QStringList *, QString *) { return false; }
qint64 TArchive::PomiarCount() { return 0; }
QVector<TArchiveKomentarz> TArchive::Komentarze(qint64) { return {}; }
int TArchive::SaveKomentarz(qint64, const QString &, qint64) { return ArchiveNotOpen; }
int TArchive::Check(TArchiveCheckResult *, const TArchiveProgress &) { return ArchiveNotOpen; }
QByteArray PackRecord(const TDataPomiar *) { return QByteArray(); }
bool UnpackRecord(const QByteArray &, TDataPomiar *) { return false; }
QByteArray RecordSha256(const TDataPomiar *) { return QByteArray(); }
