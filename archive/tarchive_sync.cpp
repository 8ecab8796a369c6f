// The archive's side of a team sync: what waits to be sent, the marks of
// what the server holds, and the rows a pull brings, each batch taken in
// one transaction together with where the pull has got to.

#include "archive/archivesync.h"
#include "archive/tarchive_p.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QSqlError>

#include <algorithm>
#include <memory>

namespace {

QByteArray ContentHash(const QVariantList &fields, std::initializer_list<int> reals = {})
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int i = 0; i < fields.size(); ++i) {
        const QVariant &v = fields.at(i);
        if (v.isNull()) {
            hash.addData("-;", 2);
            continue;
        }
        const bool real = std::find(reals.begin(), reals.end(), i) != reals.end();
        const QByteArray bytes = real ? QByteArray::number(v.toDouble(), 'g', 17) : v.toString().toUtf8();
        hash.addData(QByteArray::number(bytes.size()) + ':');
        hash.addData(bytes);
    }
    return hash.result();
}

// The sixteen exchanged fields of a measurement, in PomiarHash's order.
const char kPomiarColumns[] = "p.klucz, o.nazwa, m.serial, m.hw, m.soft_rpi, m.system_rpi, m.firmware, "
                              "p.miernik_pomiar_id, p.czas, p.plik, p.rezystancja, p.metoda, p.status, p.vref, "
                              "p.temp_core, p.komentarz_miernika";
constexpr int kPomiarFields = 16;

// A measurement whose row, or whose record, the server does not hold yet.
const char kWaiting[] = "(p.wyslany = 0 OR (p.wyslany = 1 AND p.sha256 IS NOT NULL))";

// A NULL the driver binds for a REAL column.
QVariant NullableDouble(const QVariant &v)
{
    return v.isNull() ? QVariant(QVariant::Double) : QVariant(v.toDouble());
}

// The server's table names, also the names refused rows are kept under.
QString TableName(int table)
{
    switch (table) {
    case PullPomiary:
        return QStringLiteral("pomiar");
    case PullRekordy:
        return QStringLiteral("rekord");
    default:
        return QStringLiteral("wpis");
    }
}

} // namespace

QByteArray PomiarHash(const QVariantList &fields)
{
    return ContentHash(fields, {10, 13, 14});
}

QByteArray WpisHash(const QVariant &uuid, const QVariant &rodzaj, const QVariant &przedmiot, const QVariant &wartosc,
                    const QVariant &czas)
{
    return ContentHash({uuid, rodzaj, przedmiot, wartosc, czas});
}

bool KomentarzEntryText(const QString &value, QString *text, QString *why)
{
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(value.toUtf8(), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        *why = QObject::tr("wartość komentarza nie jest obiektem JSON");
        return false;
    }
    const QJsonValue tekst = doc.object().value(QStringLiteral("tekst"));
    if (!tekst.isString()) {
        *why = QObject::tr("komentarz bez tekstu");
        return false;
    }
    *text = tekst.toString();
    return true;
}

void CheckPulledRecord(TArchivePulled *row)
{
    // One record per thread for every check it makes: a fresh 240 kB each
    // time is as many fresh pages for the system to hand out.
    thread_local std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    row->iSound = UnpackRecord(row->dane, rec.get()) && RecordSha256(rec.get()) == row->sha ? 1 : -1;
}

qint64 TArchive::UnsentCount()
{
    if (!IsOpen())
        return 0;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT (SELECT count(*) FROM pomiar p WHERE %1) + "
                                   "(SELECT count(*) FROM wpis WHERE wyslany = 0)")
                        .arg(QLatin1String(kWaiting)))
        || !query.next()) {
        d->Fail(query.lastError());
        return 0;
    }
    return query.value(0).toLongLong();
}

qint64 TArchive::LastSyncMs()
{
    if (!IsOpen())
        return 0;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT max(czas_ms) FROM serwer")) || !query.next()) {
        d->Fail(query.lastError());
        return 0;
    }
    return query.value(0).toLongLong();
}

struct TArchiveSync::TPrivate
{
    TArchive *archive;
    TArchive::TPrivate *a;
    // The import log's entry of this sync's pulls (made with the first
    // measurement taken) and the ids already looked up; all of it is
    // forgotten with a batch that is rolled back.
    struct TState
    {
        qint64 iImportId = 0, iZrodloId = 0, iTakenPomiary = 0;
        QHash<QString, qint64> obiekty, mierniki;
    };
    TState st;

    bool Fail(const QSqlError &error)
    {
        a->Fail(error);
        return false;
    }
    bool Rollback(const QSqlError &error)
    {
        a->Fail(error);
        QSqlQuery(a->db).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    bool Open()
    {
        if (archive->IsOpen())
            return true;
        a->qsError = QObject::tr("Archiwum nie jest otwarte.");
        return false;
    }
    bool Ids(const QString &source, QSqlError *error);
    bool IdOf(QHash<QString, qint64> &cache, const QString &key, const QString &select, const QString &insert,
              const QVariantList &values, qint64 *id, QSqlError *error);
    bool ApplyKomentarze(qint64 pomiarId, const QString &subject, QSqlError *error);
    bool TakePomiar(const QString &source, TArchivePulled *row, QSqlError *error);
    bool TakeRekord(TArchivePulled *row, QSqlError *error);
    bool TakeWpis(TArchivePulled *row, QSet<QString> *komentarzSubjects, QSqlError *error);
};

TArchiveSync::TArchiveSync(TArchive *archive) : d(new TPrivate)
{
    d->archive = archive;
    d->a = archive->d;
}

TArchiveSync::~TArchiveSync()
{
    delete d;
}

QString TArchiveSync::LastErrorText() const
{
    return d->a->qsError;
}

bool TArchiveSync::CanWrite()
{
    if (!d->Open())
        return false;
    if (!d->archive->IsReadOnly())
        return true;
    d->a->qsError = ReadOnlyText(d->a->qsPath);
    return false;
}

// ---- push

bool TArchiveSync::UnsentPomiary(qint64 after, int maxRows, qint64 maxBytes, QVector<TArchiveUnsentPomiar> *rows)
{
    rows->clear();
    if (!d->Open())
        return false;
    QSqlQuery q = d->a->Query();
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT p.pomiar_id, %3, p.wyslany, p.sha256, r.dane FROM pomiar p "
                             "JOIN obiekt o ON o.obiekt_id = p.obiekt_id JOIN miernik m ON m.miernik_id = p.miernik_id "
                             "LEFT JOIN rekord r ON r.pomiar_id = p.pomiar_id "
                             "WHERE p.pomiar_id > ? AND %1 ORDER BY p.pomiar_id LIMIT %2")
                  .arg(QLatin1String(kWaiting))
                  .arg(maxRows)
                  .arg(QLatin1String(kPomiarColumns)));
    q.addBindValue(after);
    if (!q.exec())
        return d->Fail(q.lastError());
    qint64 bytes = 0;
    while (q.next()) {
        TArchiveUnsentPomiar row;
        row.id = q.value(0).toLongLong();
        // The server's types: the resistance a double, vref and temp_core
        // doubles or NULL, the meter's comment a text even when NULL.
        for (int c = 1; c <= 13; ++c)
            row.values.append(c == 11 ? QVariant(q.value(c).toDouble()) : q.value(c));
        row.values << NullableDouble(q.value(14)) << NullableDouble(q.value(15)) << q.value(16).toString();
        row.bOnServer = q.value(17).toInt() != 0;
        row.sha = q.value(18).toByteArray();
        row.dane = q.value(19).toByteArray();
        rows->append(row);
        bytes += row.dane.size();
        if (bytes >= maxBytes)
            break;
    }
    if (q.lastError().isValid())
        return d->Fail(q.lastError());
    return true;
}

bool TArchiveSync::MarkPomiarySent(const QVector<QPair<qint64, int>> &held)
{
    if (!d->Open())
        return false;
    QSqlQuery q = d->a->Query();
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return d->Fail(q.lastError());
    q.prepare(QStringLiteral("UPDATE pomiar SET wyslany = ? WHERE pomiar_id = ?"));
    for (const auto &h : held) {
        q.addBindValue(h.second);
        q.addBindValue(h.first);
        if (!q.exec())
            return d->Rollback(q.lastError());
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return d->Rollback(q.lastError());
    return true;
}

bool TArchiveSync::UnsentEntries(qint64 after, int maxRows, QVector<TArchiveUnsentEntry> *entries)
{
    entries->clear();
    if (!d->Open())
        return false;
    QSqlQuery q = d->a->Query();
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT rowid, wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas FROM wpis "
                             "WHERE rowid > ? AND wyslany = 0 ORDER BY rowid LIMIT %1")
                  .arg(maxRows));
    q.addBindValue(after);
    if (!q.exec())
        return d->Fail(q.lastError());
    while (q.next()) {
        TArchiveUnsentEntry e;
        e.rowid = q.value(0).toLongLong();
        for (int c = 1; c <= 5; ++c)
            e.values.append(q.value(c).toString());
        e.values.append(q.value(6).toLongLong());
        entries->append(e);
    }
    if (q.lastError().isValid())
        return d->Fail(q.lastError());
    return true;
}

bool TArchiveSync::MarkEntriesSent(const QVector<QPair<qint64, QString>> &sent)
{
    if (!d->Open())
        return false;
    QSqlQuery q = d->a->Query();
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return d->Fail(q.lastError());
    q.prepare(QStringLiteral("UPDATE wpis SET wyslany = 1, autor = coalesce(?, autor) WHERE rowid = ?"));
    for (const auto &s : sent) {
        q.addBindValue(s.second.isEmpty() ? QVariant(QVariant::String) : QVariant(s.second));
        q.addBindValue(s.first);
        if (!q.exec())
            return d->Rollback(q.lastError());
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return d->Rollback(q.lastError());
    return true;
}

// ---- pull

bool TArchiveSync::PullPlace(const QString &serverId, TArchivePullPlace *place)
{
    *place = TArchivePullPlace();
    if (!d->Open())
        return false;
    QSqlQuery q = d->a->Query();
    // Rows this archive refused, per server, to be fetched again by number.
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS serwer_odrzucone (adres TEXT NOT NULL, "
                               "tabela TEXT NOT NULL, nr INTEGER NOT NULL, powod TEXT NOT NULL, "
                               "PRIMARY KEY (adres, tabela, nr))")))
        return d->Fail(q.lastError());
    q.prepare(QStringLiteral("SELECT pomiar_nr, rekord_nr, wpis_nr FROM serwer WHERE adres = ?"));
    q.addBindValue(serverId);
    if (!q.exec())
        return d->Fail(q.lastError());
    if (q.next()) {
        place->iPomiarNr = q.value(0).toLongLong();
        place->iRekordNr = q.value(1).toLongLong();
        place->iWpisNr = q.value(2).toLongLong();
    }
    return true;
}

bool TArchiveSync::PullRefusedBefore(const QString &serverId, int table, QVector<qint64> *numbers)
{
    numbers->clear();
    if (!d->Open())
        return false;
    QSqlQuery q = d->a->Query();
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT nr FROM serwer_odrzucone WHERE adres = ? AND tabela = ? ORDER BY nr"));
    q.addBindValue(serverId);
    q.addBindValue(TableName(table));
    if (!q.exec())
        return d->Fail(q.lastError());
    while (q.next())
        numbers->append(q.value(0).toLongLong());
    return true;
}

namespace {

// The archived measurement a record of key `klucz` belongs to: one still
// without a record first. Its id, and the SHA-256 it holds (empty: none).
bool RecordOwner(QSqlQuery &byKey, qint64 klucz, bool *found, qint64 *id, QByteArray *sha)
{
    byKey.addBindValue(klucz);
    if (!byKey.exec())
        return false;
    *found = byKey.next();
    if (*found) {
        *id = byKey.value(0).toLongLong();
        *sha = byKey.value(1).toByteArray();
    }
    byKey.finish();
    return true;
}

const char kRecordOwner[] = "SELECT pomiar_id, sha256 FROM pomiar WHERE klucz = ? ORDER BY sha256 IS NULL DESC LIMIT 1";

} // namespace

bool TArchiveSync::RecordsHeld(const QVector<qint64> &klucze, QSet<qint64> *held)
{
    held->clear();
    if (!d->Open())
        return false;
    QSqlQuery byKey = d->a->Query();
    byKey.setForwardOnly(true);
    byKey.prepare(QLatin1String(kRecordOwner));
    for (const qint64 klucz : klucze) {
        bool found = false;
        qint64 id = 0;
        QByteArray sha;
        if (!RecordOwner(byKey, klucz, &found, &id, &sha))
            return d->Fail(byKey.lastError());
        // A record of a measurement not here is refused whatever its bytes.
        if (!found || !sha.isEmpty())
            held->insert(klucz);
    }
    return true;
}

// The sync is one source of the import log, the server its source.
bool TArchiveSync::TPrivate::Ids(const QString &source, QSqlError *error)
{
    if (st.iImportId)
        return true;
    QSqlQuery q = a->Query();
    q.prepare(QStringLiteral("INSERT INTO import (czas, zrodlo, nowe, archiwalne, konflikty, odrzucone, bez_rekordu) "
                             "VALUES (?, ?, 0, 0, 0, 0, 0)"));
    q.addBindValue(QDateTime::currentSecsSinceEpoch());
    q.addBindValue(source);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    const qint64 importId = q.lastInsertId().toLongLong();
    q.prepare(QStringLiteral("INSERT INTO zrodlo (sciezka) VALUES (?) ON CONFLICT (sciezka) DO NOTHING"));
    q.addBindValue(source);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    q.prepare(QStringLiteral("SELECT zrodlo_id FROM zrodlo WHERE sciezka = ?"));
    q.addBindValue(source);
    if (!q.exec() || !q.next()) {
        *error = q.lastError();
        return false;
    }
    st.iImportId = importId;
    st.iZrodloId = q.value(0).toLongLong();
    return true;
}

bool TArchiveSync::TPrivate::IdOf(QHash<QString, qint64> &cache, const QString &key, const QString &select,
                                  const QString &insert, const QVariantList &values, qint64 *id, QSqlError *error)
{
    const auto it = cache.constFind(key);
    if (it != cache.constEnd()) {
        *id = *it;
        return true;
    }
    QSqlQuery q = a->Query();
    q.prepare(select);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    if (q.next()) {
        *id = q.value(0).toLongLong();
    } else {
        q.prepare(insert);
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec()) {
            *error = q.lastError();
            return false;
        }
        *id = q.lastInsertId().toLongLong();
    }
    cache.insert(key, *id);
    return true;
}

// Every "komentarz" entry about the measurement becomes a version of its
// comment (once), and the newest version by time is shown: every archive
// that holds the same entries shows the same comment. An entry without a
// text is no version.
bool TArchiveSync::TPrivate::ApplyKomentarze(qint64 pomiarId, const QString &subject, QSqlError *error)
{
    QSqlQuery q = a->Query();
    q.prepare(QStringLiteral("SELECT w.wpis_uuid, w.wartosc, w.czas FROM wpis w WHERE w.rodzaj = 'komentarz' "
                             "AND w.przedmiot = ? AND NOT EXISTS (SELECT 1 FROM komentarz k WHERE k.wpis_uuid = w.wpis_uuid "
                             "AND k.pomiar_id = ?) ORDER BY w.czas, w.wpis_uuid"));
    q.addBindValue(subject);
    q.addBindValue(pomiarId);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    struct TVersion { QString uuid, tekst; qint64 ms; };
    QVector<TVersion> versions;
    while (q.next()) {
        TVersion v{q.value(0).toString(), QString(), q.value(2).toLongLong()};
        QString why;
        if (KomentarzEntryText(q.value(1).toString(), &v.tekst, &why))
            versions.append(v);
    }
    q.finish();
    if (versions.isEmpty())
        return true;
    QSqlQuery ins = a->Query();
    ins.prepare(QStringLiteral("INSERT INTO komentarz (pomiar_id, czas, tekst, z_miernika, czas_ms, wpis_uuid) "
                               "VALUES (?, ?, ?, 0, ?, ?)"));
    for (const TVersion &v : versions) {
        ins.addBindValue(pomiarId);
        ins.addBindValue(v.ms / 1000);
        ins.addBindValue(v.tekst);
        ins.addBindValue(v.ms);
        ins.addBindValue(v.uuid);
        if (!ins.exec()) {
            *error = ins.lastError();
            return false;
        }
    }
    q.prepare(QStringLiteral("UPDATE pomiar SET komentarz = (SELECT tekst FROM komentarz WHERE pomiar_id = ? "
                             "ORDER BY coalesce(czas_ms, czas * 1000) DESC, wpis_uuid DESC, rowid DESC LIMIT 1) "
                             "WHERE pomiar_id = ?"));
    q.addBindValue(pomiarId);
    q.addBindValue(pomiarId);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    return true;
}

// A measurement the archive holds with other content than the server's is
// reported, never taken. The meter's comment is dated by the measurement,
// never later than now: it was written on the meter, not when it arrived
// here, and must not outrank what a person wrote since.
bool TArchiveSync::TPrivate::TakePomiar(const QString &source, TArchivePulled *row, QSqlError *error)
{
    const QVariantList &v = row->values;
    QSqlQuery find = a->Query();
    find.setForwardOnly(true);
    find.prepare(QStringLiteral("SELECT p.pomiar_id, p.wyslany, %1 FROM pomiar p JOIN miernik m ON m.miernik_id = p.miernik_id "
                                "JOIN obiekt o ON o.obiekt_id = p.obiekt_id WHERE p.klucz = ? AND m.serial = ? "
                                "AND p.miernik_pomiar_id = ? AND p.czas = ? AND p.rezystancja = ? LIMIT 1")
                     .arg(QLatin1String(kPomiarColumns)));
    const qint64 klucz = v.at(0).toLongLong();
    const QString serial = v.at(2).toString();
    const double R = v.at(10).toDouble();
    find.addBindValue(klucz);
    find.addBindValue(serial);
    find.addBindValue(v.at(7).toLongLong());
    find.addBindValue(v.at(8).toLongLong());
    find.addBindValue(R);
    if (!find.exec()) {
        *error = find.lastError();
        return false;
    }
    if (find.next()) {
        const qint64 id = find.value(0).toLongLong();
        const bool unsent = find.value(1).toInt() == 0;
        QVariantList held;
        for (int c = 2; c < 2 + kPomiarFields; ++c)
            held << find.value(c);
        find.finish();
        if (PomiarHash(held) != row->hash) {
            row->iOutcome = PullRefused;
            row->qsWhy = QObject::tr("serwer ma inną treść tego pomiaru niż archiwum (zmienioną po zapisaniu?)");
            return true;
        }
        if (unsent) {
            QSqlQuery mark = a->Query();
            mark.prepare(QStringLiteral("UPDATE pomiar SET wyslany = 1 WHERE pomiar_id = ? AND wyslany = 0"));
            mark.addBindValue(id);
            if (!mark.exec()) {
                *error = mark.lastError();
                return false;
            }
        }
        row->iOutcome = PullHeld;
        return true;
    }
    find.finish();
    qint64 obiektId = 0, miernikId = 0;
    const QString obiekt = v.at(1).toString();
    const QVariantList meter{serial, v.at(3).toString(), v.at(4).toString(), v.at(5).toString(), v.at(6).toString()};
    QStringList meterKey;
    for (const QVariant &m : meter)
        meterKey << m.toString();
    if (!Ids(source, error)
        || !IdOf(st.obiekty, obiekt, QStringLiteral("SELECT obiekt_id FROM obiekt WHERE nazwa = ?"),
                 QStringLiteral("INSERT INTO obiekt (nazwa) VALUES (?)"), {obiekt}, &obiektId, error)
        || !IdOf(st.mierniki, meterKey.join(QLatin1Char('\x1f')),
                 QStringLiteral("SELECT miernik_id FROM miernik WHERE serial = ? AND hw = ? AND soft_rpi = ? "
                                "AND system_rpi = ? AND firmware = ?"),
                 QStringLiteral("INSERT INTO miernik (serial, hw, soft_rpi, system_rpi, firmware) "
                                "VALUES (?, ?, ?, ?, ?)"),
                 meter, &miernikId, error))
        return false;
    const QString komentarz = v.at(15).toString();
    const qint64 czas = v.at(8).toLongLong();
    QSqlQuery insert = a->Query();
    insert.prepare(QStringLiteral(
        "INSERT INTO pomiar (obiekt_id, miernik_id, import_id, zrodlo_id, miernik_pomiar_id, czas, plik, rezystancja, "
        "metoda, status, vref, temp_core, komentarz, komentarz_miernika, sha256, klucz, wyslany) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, NULL, ?, 1)"));
    insert.addBindValue(obiektId);
    insert.addBindValue(miernikId);
    insert.addBindValue(st.iImportId);
    insert.addBindValue(st.iZrodloId);
    insert.addBindValue(v.at(7).toLongLong());
    insert.addBindValue(czas);
    insert.addBindValue(v.at(9).toString());
    insert.addBindValue(R);
    insert.addBindValue(v.at(11).toInt());
    insert.addBindValue(v.at(12).toInt());
    insert.addBindValue(NullableDouble(v.at(13)));
    insert.addBindValue(NullableDouble(v.at(14)));
    insert.addBindValue(komentarz);
    insert.addBindValue(komentarz);
    insert.addBindValue(klucz);
    if (!insert.exec()) {
        *error = insert.lastError();
        return false;
    }
    const qint64 id = insert.lastInsertId().toLongLong();
    if (!komentarz.isEmpty()) {
        QSqlQuery meterKomentarz = a->Query();
        meterKomentarz.prepare(
            QStringLiteral("INSERT INTO komentarz (pomiar_id, czas, tekst, z_miernika) VALUES (?, ?, ?, 1)"));
        meterKomentarz.addBindValue(id);
        meterKomentarz.addBindValue(qMin(czas, QDateTime::currentSecsSinceEpoch()));
        meterKomentarz.addBindValue(komentarz);
        if (!meterKomentarz.exec()) {
            *error = meterKomentarz.lastError();
            return false;
        }
    }
    // Entries about it that came before the measurement itself.
    if (!ApplyKomentarze(id, QStringLiteral("p:%1").arg(klucz), error))
        return false;
    ++st.iTakenPomiary;
    row->iOutcome = PullTaken;
    return true;
}

// A record is taken only for a measurement here without one, checked
// against its SHA-256 and never under a hash another measurement holds.
bool TArchiveSync::TPrivate::TakeRekord(TArchivePulled *row, QSqlError *error)
{
    QSqlQuery q = a->Query();
    q.setForwardOnly(true);
    q.prepare(QLatin1String(kRecordOwner));
    bool found = false;
    qint64 id = 0;
    QByteArray localSha;
    if (!RecordOwner(q, row->klucz, &found, &id, &localSha)) {
        *error = q.lastError();
        return false;
    }
    row->iOutcome = PullRefused;
    if (!found) {
        row->qsWhy = QObject::tr("brak jego pomiaru w archiwum");
        return true;
    }
    if (!localSha.isEmpty()) {
        if (localSha != row->sha) {
            row->qsWhy = QObject::tr("archiwum ma inny zapis tego pomiaru");
            return true;
        }
        q.prepare(QStringLiteral("UPDATE pomiar SET wyslany = 2 WHERE pomiar_id = ? AND wyslany < 2"));
        q.addBindValue(id);
        if (!q.exec()) {
            *error = q.lastError();
            return false;
        }
        row->iOutcome = PullHeld;
        return true;
    }
    if (!row->bDaneFetched) {
        row->iOutcome = PullLater;
        return true;
    }
    q.prepare(QStringLiteral("SELECT 1 FROM pomiar WHERE sha256 = ?"));
    q.addBindValue(row->sha);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    const bool taken = q.next();
    q.finish();
    if (taken) {
        row->qsWhy = QObject::tr("ten zapis należy w archiwum do innego pomiaru");
        return true;
    }
    if (row->iSound == 0)
        CheckPulledRecord(row);
    if (row->iSound < 0) {
        row->qsWhy = QObject::tr("zapis uszkodzony (suma SHA-256 się nie zgadza)");
        return true;
    }
    q.prepare(QStringLiteral("UPDATE pomiar SET sha256 = ?, wyslany = 2 WHERE pomiar_id = ?"));
    q.addBindValue(row->sha);
    q.addBindValue(id);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO rekord (pomiar_id, dane) VALUES (?, ?)"));
    q.addBindValue(id);
    q.addBindValue(row->dane);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    row->iOutcome = PullTaken;
    return true;
}

// An entry the archive holds with other content than the server's is
// reported, never taken.
bool TArchiveSync::TPrivate::TakeWpis(TArchivePulled *row, QSet<QString> *komentarzSubjects, QSqlError *error)
{
    const QVariantList &v = row->values;
    TArchiveEntry entry;
    entry.qsUuid = v.at(0).toString();
    entry.qsRodzaj = v.at(1).toString();
    entry.qsPrzedmiot = v.at(2).toString();
    entry.qsWartosc = v.at(3).toString();
    entry.qsAutor = v.at(4).toString();
    entry.iCzasMs = v.at(5).toLongLong();
    bool added = false;
    if (!a->PutEntry(entry, true, &added, error))
        return false;
    if (!added) {
        QSqlQuery held = a->Query();
        held.setForwardOnly(true);
        held.prepare(QStringLiteral("SELECT rodzaj, przedmiot, wartosc, czas FROM wpis WHERE wpis_uuid = ?"));
        held.addBindValue(entry.qsUuid);
        if (!held.exec()) {
            *error = held.lastError();
            return false;
        }
        const bool same = held.next()
            && WpisHash(v.at(0), held.value(0), held.value(1), held.value(2), held.value(3)) == row->hash;
        held.finish();
        if (!same) {
            row->iOutcome = PullRefused;
            row->qsWhy = QObject::tr("serwer ma inną treść tego wpisu niż archiwum (zmienioną po zapisaniu?)");
            return true;
        }
        held.prepare(QStringLiteral("UPDATE wpis SET wyslany = 1 WHERE wpis_uuid = ? AND wyslany = 0"));
        held.addBindValue(entry.qsUuid);
        if (!held.exec()) {
            *error = held.lastError();
            return false;
        }
        row->iOutcome = PullHeld;
        return true;
    }
    if (entry.qsRodzaj == QLatin1String("komentarz") && entry.qsPrzedmiot.startsWith(QLatin1String("p:")))
        komentarzSubjects->insert(entry.qsPrzedmiot);
    row->iOutcome = PullTaken;
    return true;
}

bool TArchiveSync::ApplyPulled(const QString &serverId, const QString &source, int table,
                               QVector<TArchivePulled> *rows, const TArchivePullPlace &place, qint64 syncedMs)
{
    if (!d->Open())
        return false;
    QSqlQuery q = d->a->Query();
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return d->Fail(q.lastError());
    const TPrivate::TState kept = d->st;
    auto fail = [&](const QSqlError &error) {
        d->st = kept;
        return d->Rollback(error);
    };
    const QString tableName = TableName(table);
    QSet<QString> komentarzSubjects; // entries taken in this batch about a measurement
    QSqlQuery note = d->a->Query(), forget = d->a->Query();
    note.prepare(QStringLiteral("INSERT OR REPLACE INTO serwer_odrzucone (adres, tabela, nr, powod) VALUES (?, ?, ?, ?)"));
    forget.prepare(QStringLiteral("DELETE FROM serwer_odrzucone WHERE adres = ? AND tabela = ? AND nr = ?"));
    for (TArchivePulled &row : *rows) {
        QSqlError error;
        if (!row.qsWhy.isEmpty()) {
            row.iOutcome = PullRefused;
        } else {
            const bool ok = table == PullPomiary ? d->TakePomiar(source, &row, &error)
                : table == PullRekordy           ? d->TakeRekord(&row, &error)
                                                 : d->TakeWpis(&row, &komentarzSubjects, &error);
            if (!ok)
                return fail(error);
        }
        // A refused row, and a record whose bytes have still to come, are
        // fetched again by number; one fetched again and settled is not.
        if (row.iOutcome == PullRefused || row.iOutcome == PullLater) {
            note.addBindValue(serverId);
            note.addBindValue(tableName);
            note.addBindValue(row.iNr);
            note.addBindValue(row.qsWhy);
            if (!note.exec())
                return fail(note.lastError());
        } else if (row.bAgain) {
            forget.addBindValue(serverId);
            forget.addBindValue(tableName);
            forget.addBindValue(row.iNr);
            if (!forget.exec())
                return fail(forget.lastError());
        }
    }
    QSqlQuery pomiaryOf = d->a->Query();
    pomiaryOf.setForwardOnly(true);
    pomiaryOf.prepare(QStringLiteral("SELECT pomiar_id FROM pomiar WHERE klucz = ?"));
    for (const QString &subject : qAsConst(komentarzSubjects)) {
        pomiaryOf.addBindValue(subject.mid(2).toLongLong());
        if (!pomiaryOf.exec())
            return fail(pomiaryOf.lastError());
        QVector<qint64> ids;
        while (pomiaryOf.next())
            ids.append(pomiaryOf.value(0).toLongLong());
        pomiaryOf.finish();
        for (const qint64 id : ids) {
            QSqlError error;
            if (!d->ApplyKomentarze(id, subject, &error))
                return fail(error);
        }
    }
    if (d->st.iImportId) {
        q.prepare(QStringLiteral("UPDATE import SET nowe = ? WHERE import_id = ?"));
        q.addBindValue(d->st.iTakenPomiary);
        q.addBindValue(d->st.iImportId);
        if (!q.exec())
            return fail(q.lastError());
    }
    // The time of the last sync is set only by a pull that went through.
    q.prepare(QStringLiteral("INSERT INTO serwer (adres, pomiar_nr, rekord_nr, wpis_nr, czas_ms) VALUES (?, ?, ?, ?, ?) "
                             "ON CONFLICT (adres) DO UPDATE SET pomiar_nr = excluded.pomiar_nr, "
                             "rekord_nr = excluded.rekord_nr, wpis_nr = excluded.wpis_nr, "
                             "czas_ms = max(serwer.czas_ms, excluded.czas_ms)"));
    q.addBindValue(serverId);
    q.addBindValue(place.iPomiarNr);
    q.addBindValue(place.iRekordNr);
    q.addBindValue(place.iWpisNr);
    q.addBindValue(syncedMs);
    if (!q.exec())
        return fail(q.lastError());
    if (!q.exec(QStringLiteral("COMMIT")))
        return fail(q.lastError());
    return true;
}
