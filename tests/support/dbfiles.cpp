// The data half of dbsupport.h: databases and settings files made by the
// tests, no widgets (the data tests link this alone).

#include "support/dbsupport.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace testsupport {

namespace {

QString NewConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("testsupport_%1").arg(counter.fetchAndAddRelaxed(1));
}

/// Runs `work` on a connection of its own to `path` (never the default
/// connection, which belongs to the code under test).
template <typename Work>
QString WithConnection(const QString &path, Work work)
{
    const QString name = NewConnectionName();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            error = db.lastError().text();
        else
            error = work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

} // namespace

QString MakeDataBase(const QString &path, const QStringList &obiekty, const QVector<TTestPomiar> &pomiary,
                     bool withZym)
{
    QFile::remove(path);
    return WithConnection(path, [&](QSqlDatabase &db) -> QString {
        QSqlQuery q(db);
        const QStringList schema = {
            QStringLiteral("CREATE TABLE obiekt (obiekt_id INTEGER PRIMARY KEY, Obiekt_nazwa TEXT)"),
            QStringLiteral("CREATE TABLE pomiar (pomiar_id INTEGER PRIMARY KEY, pomiar_czas INTEGER, "
                           "pomiar_plik_dane TEXT, pomiar_rezystancja REAL, pomiar_metoda INTEGER, "
                           "pomiar_komentarz TEXT, pomiar_status INTEGER, pomiar_vref REAL, "
                           "pomiar_temp_core REAL, pomiar_obiekt_id INTEGER)"),
        };
        for (const QString &sql : schema)
            if (!q.exec(sql))
                return q.lastError().text();
        if (withZym) {
            if (!q.exec(QStringLiteral("CREATE TABLE ZYM (serial_zym TEXT, hw TEXT, soft_rpi TEXT, system_rpi TEXT, "
                                       "firmware_cortex TEXT, info TEXT, u1_offset INTEGER, u2_offset INTEGER, "
                                       "i_offset INTEGER)"))
                || !q.exec(QStringLiteral("INSERT INTO ZYM VALUES ('ZYM5-0042', 'rev. C', '1.4.2', 'Raspbian 10', "
                                          "'2.07', 'test', 549, 1095, 0)")))
                return q.lastError().text();
        }
        db.transaction();
        q.prepare(QStringLiteral("INSERT INTO obiekt VALUES (?, ?)"));
        for (int i = 0; i < obiekty.size(); ++i) {
            q.addBindValue(i + 1);
            q.addBindValue(obiekty[i]);
            if (!q.exec())
                return q.lastError().text();
        }
        q.prepare(QStringLiteral("INSERT INTO pomiar VALUES (?, ?, ?, ?, ?, ?, ?, 2.048, 36.5, ?)"));
        for (const TTestPomiar &p : pomiary) {
            q.addBindValue(p.id);
            q.addBindValue(p.czas);
            q.addBindValue(p.plik_dane.isEmpty() ? QStringLiteral("pomiar_%1.zym5").arg(p.id) : p.plik_dane);
            q.addBindValue(p.rezystancja);
            q.addBindValue(p.metoda);
            q.addBindValue(p.komentarz.isNull() ? QVariant(QVariant::String) : p.komentarz);
            q.addBindValue(p.status);
            q.addBindValue(p.obiekt_id);
            if (!q.exec())
                return q.lastError().text();
        }
        db.commit();
        return QString();
    });
}

QString ExecSql(const QString &path, const QString &sql)
{
    return WithConnection(path, [&](QSqlDatabase &db) -> QString {
        QSqlQuery q(db);
        return q.exec(sql) ? QString() : q.lastError().text();
    });
}

QVariant ReadValue(const QString &path, const QString &sql)
{
    QVariant value;
    WithConnection(path, [&](QSqlDatabase &db) -> QString {
        QSqlQuery q(db);
        if (q.exec(sql) && q.next())
            value = q.value(0);
        return QString();
    });
    return value;
}

int DamageFirstLeafPage(const QString &path, const QString &table)
{
    const int pageSize = ReadValue(path, QStringLiteral("PRAGMA page_size")).toInt();
    int page = ReadValue(path, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = '%1'")
                                   .arg(table))
                   .toInt();
    QFile file(path);
    if (pageSize <= 0 || page <= 0 || !file.open(QIODevice::ReadWrite))
        return 0;
    auto byteAt = [&](qint64 offset) {
        file.seek(offset);
        const QByteArray b = file.read(1);
        return b.isEmpty() ? -1 : int(quint8(b[0]));
    };
    // Down the leftmost child of each interior page (type 5) to a leaf (13).
    for (int depth = 0; depth < 8; ++depth) {
        const qint64 start = qint64(page - 1) * pageSize;
        const qint64 header = start + (page == 1 ? 100 : 0);
        const int type = byteAt(header);
        if (type == 13) {
            file.seek(header);
            return file.write(QByteArray(8, '\xff')) == 8 ? page : 0;
        }
        if (type != 5)
            return 0;
        const int cell = byteAt(header + 12) << 8 | byteAt(header + 13);
        page = byteAt(start + cell) << 24 | byteAt(start + cell + 1) << 16 | byteAt(start + cell + 2) << 8
            | byteAt(start + cell + 3);
    }
    return 0;
}

QString KomentarzOf(const QString &path, int id)
{
    return ReadValue(path, QStringLiteral("SELECT pomiar_komentarz FROM pomiar WHERE pomiar_id=%1").arg(id)).toString();
}

void WriteLoopbackIni(const QString &meterDataBase, const QString &lastOpenPath)
{
    const QString ini = QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini");
    QFile::remove(ini);
    QSettings s(ini, QSettings::IniFormat);
    s.setIniCodec("UTF-8");
    s.setValue(QStringLiteral("Program/AskIfAppClose"), false);
    if (!lastOpenPath.isEmpty())
        s.setValue(QStringLiteral("Program/LastOpenPath"), lastOpenPath);
    s.setValue(QStringLiteral("ZYM/ZYM_NetAdress"), QStringLiteral("127.0.0.1"));
    s.setValue(QStringLiteral("ZYM/ZYM_DataBasePath"), meterDataBase);
    s.sync();
}

void RemoveIni()
{
    QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini"));
}

bool MeterDataBaseOpen()
{
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).isOpen();
}

} // namespace testsupport
