// The connection side of TDataBase: the meter's SQLite connection (Qt's
// default connection) and every statement run on it (lists, rows, the
// meter's ZYM table, the comment update). Each statement names `db`, so a
// second database open beside the meter's never takes one by accident. The data file side is in
// tdatabase_pomiar.cpp.

#include "database/tdatabase.h"

#include "database/historiaread.h"
#include "database/meterlayout.h"
#include "database/pomiarymodel.h"
#include "database/resulttexts.h"
#include "database/rowid.h"
#include "database/safepath.h"
#include "measurement/datafile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QVariant>

#include <limits>

namespace {

// Followed by the object's id. The time is the computer's local time, as
// in the result area, the CSV and the proposed file name; a time that is
// none (NULL, a text, a fraction, before 1970 or after the year 9999) is
// NULL, which the list shows as unknown, as the history does.
QString PomiaryStatement()
{
    return QStringLiteral("SELECT pomiar.pomiar_id AS ID, ") + QString::fromUtf8(TPomiaryModel::kDataExpression)
        + QStringLiteral(" AS DATA , ") + QString::fromUtf8(TPomiaryModel::kWynikExpression)
        + QStringLiteral(" AS WYNIK, pomiar.pomiar_komentarz as KOMENTARZ FROM pomiar WHERE pomiar.pomiar_obiekt_id =");
}

// The object list shows names only; each row's id comes along under its own
// role, so that objects of the same name stay apart.
class TObiektyModel : public QSqlQueryModel
{
public:
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return qMin(1, QSqlQueryModel::columnCount(parent));
    }
    QVariant data(const QModelIndex &item, int role = Qt::DisplayRole) const override
    {
        if (role != TDataBase::kObiektIdRole)
            return QSqlQueryModel::data(item, role);
        if (!item.isValid() || item.model() != this)
            return QVariant();
        return QSqlQueryModel::data(createIndex(item.row(), 1), Qt::DisplayRole);
    }
};

// A model reads its rows as a view asks for them, and the statement it has
// not finished keeps a read lock on the file: the meter could not write its
// database while a long list is shown. Reading to the end lets SQLite end
// the statement; the rows stay in the model's cache.
void FetchAll(QSqlQueryModel *model)
{
    while (model->canFetchMore())
        model->fetchMore();
}

} // namespace

TDataBase::OpenResult TDataBase::Open(QString path)
{
    // Data files are looked up beside the database, whatever the outcome.
    qsDataFolder = FolderOf(path);
    qsLastError.clear();
    if (!QFile::exists(path))
        return OpenNoFile;
    qDebug() << "File exist" << true;

    pRowQuery.reset();
    if (db.isOpen())
        db.close();
    ObjectRows.Clear();
    // Let go of our own handle first: otherwise the old registration is
    // "still in use" when the new one replaces it.
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    // While the meter writes it holds the file locked; a click must not
    // wait the driver's default of 5 s per statement for it.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        qsLastError = db.lastError().text();
        return OpenDriverFailed;
    }
    qDebug() << "#Database: connection ok";
    return OpenOk;
}

void TDataBase::Close()
{
    pRowQuery.reset();
    if (db.isOpen())
        db.close();
    ObjectRows.Clear();
}

bool TDataBase::IsOpen()
{
    return db.isOpen();
}

QString TDataBase::LastErrorText()
{
    return qsLastError.isEmpty() ? db.lastError().text() : qsLastError;
}

bool TDataBase::ReadRow(qint64 id, bool *ambiguous)
{
    if (ambiguous)
        *ambiguous = false;
    // The whole row in one statement: the file is locked and checked once,
    // and the row cannot change half-way through the reading.
    bBusy = false;
    if (!pRowQuery) {
        std::unique_ptr<QSqlQuery> prepared(new QSqlQuery(db));
        prepared->setForwardOnly(true);
        if (!prepared->prepare(meterlayout::RowStatement())) {
            // Locked by another program: the columns one by one would wait as long again each.
            if ((bBusy = IsBusyError(prepared->lastError())))
                return false;
            return ReadRowByColumn(id, ambiguous); // a column is missing
        }
        pRowQuery = std::move(prepared);
    }
    QSqlQuery &query = *pRowQuery;
    query.bindValue(0, id);
    if (!query.exec()) {
        bBusy = IsBusyError(query.lastError());
        // Prepared afresh next time: the table may have changed under it.
        pRowQuery.reset();
        return false;
    }
    int matches = 0;
    while (query.next()) {
        // Two rows of one id: the last would show (and a comment would
        // go to both) under the first one's line.
        if (++matches > 1 && ambiguous)
            *ambiguous = true;
        Row.czas = query.value(0).toInt();
        Row.czasKnown = HistoriaCzas(query.value(0));
        Row.plik_dane = query.value(1).toString();
        Row.rezystancja = ColumnNumber(query.value(2));
        Row.metoda = query.value(3).toInt();
        Row.komentarz = query.value(4).toString();
        Row.status = query.value(5).toInt();
        Row.vref = ColumnNumber(query.value(6));
        Row.temp_core = ColumnNumber(query.value(7));
    }
    // Reset, so that the statement kept holds no lock on the file.
    query.finish();
    return matches > 0;
}

bool TDataBase::ReadRowByColumn(qint64 id, bool *ambiguous)
{
    // A table that lacks one of the columns still gives the others.
    enum Kind { Int, Text, Real };
    struct Column {
        int column; // a meterlayout::RowColumn
        Kind kind;
        void *field;
    };
    using namespace meterlayout;
    const Column columns[] = {
        {RowCzas, Int, &Row.czas},          {RowPlikDane, Text, &Row.plik_dane}, {RowRezystancja, Real, &Row.rezystancja},
        {RowMetoda, Int, &Row.metoda},      {RowKomentarz, Text, &Row.komentarz}, {RowStatus, Int, &Row.status},
        {RowVref, Real, &Row.vref},         {RowTempCore, Real, &Row.temp_core},
    };

    // One read transaction for the eight statements: the file is locked and
    // checked for changes once, not eight times, and the row cannot change
    // half-way through the reading.
    const bool batch = db.isOpen() && db.transaction();
    bool found = false;
    bBusy = false;
    for (const Column &c : columns) {
        QSqlQuery query(db);
        if (!query.exec(RowColumnStatement(c.column) + QString::number(id))) {
            // Each further statement would wait as long again for the same lock.
            if ((bBusy = IsBusyError(query.lastError())))
                break;
            continue; // a missing column leaves its field as it was
        }
        int matches = 0;
        while (query.next()) {
            found = true;
            // Two rows of one id: the last would show (and a comment would
            // go to both) under the first one's line.
            if (++matches > 1 && ambiguous)
                *ambiguous = true;
            const QVariant v = query.value(0);
            switch (c.kind) {
            case Int:
                *static_cast<qint32 *>(c.field) = v.toInt();
                if (c.field == &Row.czas)
                    Row.czasKnown = HistoriaCzas(v);
                break;
            case Text:
                *static_cast<QString *>(c.field) = v.toString();
                break;
            case Real:
                *static_cast<double *>(c.field) = ColumnNumber(v);
                break;
            }
        }
    }
    if (batch)
        db.commit();
    return found;
}

int TDataBase::LoadPomiar(qint64 id, bool *rowRead)
{
    return LoadPomiarInto(id, rowRead, &Pomiar);
}

int TDataBase::LoadPomiarInto(qint64 id, bool *rowRead, TDataPomiar *rec)
{
    if (rowRead)
        *rowRead = false;
    if (id < 0)
        return int(qMax(id, qint64(std::numeric_limits<int>::min())));
    // Without its row, `Row` still names the file of the measurement read
    // before: showing that under this id would pass one measurement off as
    // another.
    bool ambiguous = false;
    if (!ReadRow(id, &ambiguous)) {
        if (bBusy)
            return LoadPomiarBusy;
        qDebug() << "Brak pomiaru w bazie" << id;
        return LoadPomiarMissing;
    }
    if (ambiguous)
        return LoadPomiarAmbiguous;
    if (rowRead)
        *rowRead = true;
    // The row comes from a file that may have been made anywhere: a name
    // that leaves the database's folder counts as missing. ReadDataFile
    // never leaves the record part old and part new.
    DataFile = IsSafeRelativeName(Row.plik_dane) ? ReadDataFile(qsDataFolder + Row.plik_dane, rec) : DataFileMissing;
    if (DataFile != DataFileOk) {
        qDebug() << "Plik nie istnieje";
        return LoadPomiarMissing;
    }
    return LoadPomiarOk;
}

bool TDataBase::IsBusyError(const QSqlError &error)
{
    // SQLITE_BUSY and SQLITE_LOCKED, as the driver passes them on.
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

bool TDataBase::Busy()
{
    if (!db.isOpen())
        return false;
    QSqlQuery query(db);
    // Any read takes the shared lock that a writer's exclusive lock refuses.
    return !query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && IsBusyError(query.lastError());
}

QString TDataBase::BusyText()
{
    return QObject::tr("Baza danych jest zajęta: inny program (na przykład miernik w trakcie zapisu) trzyma ją "
                       "zablokowaną. Spróbuj ponownie za chwilę.");
}

QString TDataBase::FirstValueText(QString statement)
{
    QSqlQuery query(db);
    if (query.exec(statement) && query.next())
        return query.value(0).toString();
    return QStringLiteral("NULL");
}

QString TDataBase::ZymValue(const QString &column)
{
    if (meterlayout::IsView(db, meterlayout::kZym))
        return QStringLiteral("NULL");
    return FirstValueText(meterlayout::ZymStatement(column));
}

QSqlQueryModel *TDataBase::ObiektyModel(QString *errorText)
{
    const QString refused = meterlayout::ViewProblem(db);
    if (!refused.isEmpty()) {
        if (errorText)
            *errorText = refused;
        return nullptr;
    }
    QSqlQuery query(db);
    if (!query.prepare(meterlayout::ObiektyStatement()) || !query.exec()) {
        if (errorText)
            *errorText = query.lastError().text();
        return nullptr;
    }
    auto *model = new TObiektyModel;
    model->setQuery(query);
    FetchAll(model);
    model->setHeaderData(0, Qt::Horizontal, QObject::tr("OBIEKT"));
    // The one pass over the measurements that makes every object's list a
    // lookup, made while the user reads the objects.
    ObjectRows.Refresh(db);
    return model;
}

qint64 TDataBase::ObjectId(QString name)
{
    QSqlQuery query(db);
    query.prepare(meterlayout::ObiektIdStatement());
    query.addBindValue(name);
    query.exec();
    // Names need not be unique: the last object of that name wins.
    qint64 id = 0;
    while (query.next()) {
        qint64 whole;
        if (WholeId(query.value(QLatin1String(meterlayout::kObiektId)), &whole))
            id = whole;
    }
    return id;
}

QSqlQueryModel *TDataBase::PomiaryModel(qint64 objectId)
{
    // A failing statement (no pomiar table) simply leaves the table empty.
    QString statement = PomiaryStatement() + QString::number(objectId);
    QVector<qint64> rowids;
    QSqlQueryModel *model = nullptr;
    const bool mapped = ObjectRows.Rows(db, objectId, &rowids);
    if (mapped) {
        // Only a statement that would read the whole list is worth reading
        // in parts: one that fails fails here as it always did.
        QSqlQuery whole(db);
        if (!bFormatWholeList && rowids.size() >= TPomiaryModel::kLongList && whole.prepare(statement))
            model = TPomiaryModel::Read(db, objectId, rowids);
    }
    if (!model && mapped) {
        // Looked up by rowid instead of a scan of the whole table; in rowid
        // order, which is the order that scan returns them in.
        statement += QStringLiteral(" AND pomiar._rowid_ IN (") + RowidList(rowids)
                     + QStringLiteral(") ORDER BY pomiar._rowid_");
    }
    if (!model) {
        QSqlQuery query(db);
        query.prepare(statement);
        query.exec();
        model = new QSqlQueryModel;
        model->setQuery(query);
        FetchAll(model);
    }
    model->setHeaderData(0, Qt::Horizontal, QObject::tr("ID"));
    model->setHeaderData(1, Qt::Horizontal, QObject::tr("DATA"));
    model->setHeaderData(2, Qt::Horizontal, QObject::tr("WYNIK"));
    model->setHeaderData(3, Qt::Horizontal, QObject::tr("KOMENTARZ"));
    return model;
}

bool TDataBase::ReadHistoria(qint64 objectId, QVector<THistoriaRow> *rows, QString *errorText)
{
    QVector<qint64> rowids;
    const bool mapped = ObjectRows.Rows(db, objectId, &rowids);
    return ::ReadHistoria(db, objectId, rows, errorText, mapped ? &rowids : nullptr);
}

bool TDataBase::DataFileNames(const QSqlDatabase &db, QStringList *names)
{
    if (meterlayout::IsView(db, meterlayout::kPomiar))
        return false;
    QSqlQuery query(db);
    if (!query.exec(meterlayout::DataFilesStatement()))
        return false;
    while (query.next())
        names->append(query.value(1).toString());
    return true;
}

void TDataBase::PrepareKomentarz(QString komentarz, qint64 id)
{
    qsPendingKomentarz = komentarz;
    iPendingKomentarzId = id;
    // The text is for the trace only: the statement run binds the comment.
    qsSqlKomentarz = meterlayout::KomentarzUpdateTrace(komentarz, id);
    qDebug() << qsSqlKomentarz;
}

bool TDataBase::ExecPending()
{
    qsLastError.clear();
    if (!db.transaction()) {
        qsLastError = db.lastError().text();
        return false;
    }
    int rows = -1;
    {
        QSqlQuery query(db);
        if (query.prepare(meterlayout::KomentarzUpdateStatement())) {
            query.addBindValue(qsPendingKomentarz);
            query.addBindValue(iPendingKomentarzId);
            if (query.exec())
                rows = query.numRowsAffected();
        }
        if (rows < 0)
            qsLastError = query.lastError().text();
    }
    // A damaged database can hold one id twice: writing the comment into
    // both rows would overwrite a comment the user never saw. No row at all
    // means the measurement is gone (the caller says so).
    if (rows != 1) {
        db.rollback();
        if (rows > 1)
            qsLastError = QObject::tr("Pomiar o numerze %1 występuje w bazie danych %2 razy. Komentarz nie "
                                      "został zapisany, aby nie nadpisać komentarzy innych pomiarów.")
                              .arg(iPendingKomentarzId)
                              .arg(rows);
        return false;
    }
    if (!db.commit()) {
        qsLastError = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- the meter's side of the windows

QSqlQueryModel *TDataBase::PomiaryList(qint64 objectId, TSourceWarning *warning)
{
    QSqlQueryModel *model = PomiaryModel(objectId);
    // An empty list would pass for an object without measurements.
    if (IsBusyError(model->lastError()))
        *warning = TSourceWarning{QCoreApplication::translate("MainWindow", "Ostrzeżenie!"), BusyText()};
    return model;
}

int TDataBase::ReadPomiar(qint64 id, TPomiarRow *row, TDataPomiar *rec, TPomiarRead *read)
{
    *read = TPomiarRead();
    const int loaded = LoadPomiarInto(id, &read->rowRead, rec);
    if (read->rowRead) {
        *row = Row;
        // The folder is there to look in: a file that is there but failed
        // is told from one that is gone.
        if (DataFile != DataFileOk && DataFile != DataFileShort)
            read->dataFile = QFileInfo(qsDataFolder + Row.plik_dane).isFile() ? DataFileUnreadable : DataFileMissing;
        else
            read->dataFile = DataFile;
    }
    if (loaded == LoadPomiarBusy)
        read->warning = TSourceWarning{QCoreApplication::translate("MainWindow", "Ostrzeżenie!"), BusyText()};
    return loaded;
}

QString TDataBase::KomentarzQuestion() const
{
    return QCoreApplication::translate("MainWindow",
                                       "Pole komentarza uległo zmianie. Zapisać komentarz w bazie danych?");
}

bool TDataBase::SaveKomentarz(qint64 id, const QString &komentarz, QString *errorText)
{
    PrepareKomentarz(komentarz, id);
    const bool saved = ExecPending();
    *errorText = LastErrorText();
    return saved;
}

bool TDataBase::ReadHistoria(qint64 objectId, QVector<THistoriaRow> *rows, THistoriaMeters *meters,
                             QString *errorText)
{
    if (!ReadHistoria(objectId, rows, errorText))
        return false;
    *meters = THistoriaMeters();
    ReportMeter(-1, &meters->serial, &meters->hw, &meters->firmware);
    return true;
}

QString TDataBase::MeterValue(qint64, const QString &column)
{
    return ZymValue(column);
}

void TDataBase::ReportMeter(qint64, QString *serial, QString *hw, QString *firmware)
{
    using namespace meterlayout;
    *serial = ZymValue(QLatin1String(kZymColumns[ZymSerial]));
    *hw = ZymValue(QLatin1String(kZymColumns[ZymHw]));
    *firmware = ZymValue(QLatin1String(kZymColumns[ZymFirmware]));
}
