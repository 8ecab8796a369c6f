// The connection side of TDataBase: the one SQLite connection (Qt's default
// connection), the row of a measurement and the comment update. The data
// file side is in measurement/tdatabase_pomiar.cpp.

#include "database/tdatabase.h"

#include "database/safepath.h"
#include "measurement/datafile.h"

#include <QDebug>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

int TDataBase::Open(QString path)
{
    // Data files are looked up beside the database, whatever the outcome.
    qsDataFolder = FolderOf(path);
    qsLastError.clear();
    if (!QFile::exists(path))
        return OpenNoFile;
    qDebug() << "File exist" << true;

    if (db.isOpen())
        db.close();
    // Let go of our own handle first: otherwise the old registration is
    // "still in use" when the new one replaces it.
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open()) {
        qsLastError = db.lastError().text();
        return OpenDriverFailed;
    }
    qDebug() << "#Database: connection ok";
    return OpenOk;
}

void TDataBase::Close()
{
    if (db.isOpen())
        db.close();
}

bool TDataBase::IsOpen()
{
    return db.isOpen();
}

QString TDataBase::LastErrorText()
{
    return qsLastError.isEmpty() ? db.lastError().text() : qsLastError;
}

bool TDataBase::ReadRow(int id)
{
    enum Kind { Int, Text, Real };
    struct Column {
        const char *statement;
        Kind kind;
        void *field;
    };
    const Column columns[] = {
        {"SELECT pomiar_czas FROM pomiar WHERE  pomiar_id=", Int, &Row.czas},
        {"SELECT pomiar_plik_dane FROM pomiar WHERE  pomiar_id=", Text, &Row.plik_dane},
        {"SELECT pomiar_rezystancja FROM pomiar WHERE  pomiar_id=", Real, &Row.rezystancja},
        {"SELECT pomiar_metoda FROM pomiar WHERE  pomiar_id=", Int, &Row.metoda},
        {"SELECT pomiar_komentarz FROM pomiar WHERE  pomiar_id=", Text, &Row.komentarz},
        {"SELECT pomiar_status FROM pomiar WHERE  pomiar_id=", Int, &Row.status},
        {"SELECT pomiar_vref FROM pomiar WHERE  pomiar_id=", Real, &Row.vref},
        {"SELECT pomiar_temp_core FROM pomiar WHERE  pomiar_id=", Real, &Row.temp_core},
    };

    bool found = false;
    for (const Column &c : columns) {
        QSqlQuery query;
        if (!query.exec(QLatin1String(c.statement) + QString::number(id)))
            continue; // a missing column leaves its field as it was
        while (query.next()) {
            found = true;
            const QVariant v = query.value(0);
            switch (c.kind) {
            case Int:
                *static_cast<qint32 *>(c.field) = v.toInt();
                break;
            case Text:
                *static_cast<QString *>(c.field) = v.toString();
                break;
            case Real:
                *static_cast<double *>(c.field) = v.toDouble();
                break;
            }
        }
    }
    return found;
}

int TDataBase::LoadPomiar(int id)
{
    if (id < 0)
        return id;
    // Without its row, `Row` still names the file of the measurement read
    // before: showing that under this id would pass one measurement off as
    // another.
    if (!ReadRow(id)) {
        qDebug() << "Brak pomiaru w bazie" << id;
        return LoadPomiarMissing;
    }
    // The row comes from a file that may have been made anywhere: a name
    // that leaves the database's folder counts as missing. ReadDataFile
    // changes `Pomiar` only when the whole record was read.
    if (!IsSafeRelativeName(Row.plik_dane) || ReadDataFile(qsDataFolder + Row.plik_dane, &Pomiar) != DataFileOk) {
        qDebug() << "Plik nie istnieje";
        return LoadPomiarMissing;
    }
    return LoadPomiarOk;
}

QString TDataBase::FirstValueText(QString statement)
{
    QSqlQuery query;
    if (query.exec(statement) && query.next())
        return query.value(0).toString();
    return QStringLiteral("NULL");
}

void TDataBase::PrepareKomentarz(QString komentarz, int id)
{
    // Doubling the single quotes keeps any comment inside its SQL text literal.
    komentarz.replace(QLatin1Char('\''), QLatin1String("''"));
    qsSqlKomentarz = QStringLiteral("UPDATE pomiar SET pomiar_komentarz='") + komentarz
        + QStringLiteral("' WHERE pomiar.pomiar_id=") + QString::number(id);
    qDebug() << qsSqlKomentarz;
}

bool TDataBase::ExecPending()
{
    qsLastError.clear();
    QSqlQuery query;
    if (!query.exec(qsSqlKomentarz)) {
        qsLastError = query.lastError().text();
        return false;
    }
    // An update that matched no row stored nothing: the measurement is gone.
    return query.numRowsAffected() > 0;
}
