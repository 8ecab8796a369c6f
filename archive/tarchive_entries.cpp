// Versioned entries: everything a person writes about a measurement, an
// object or a group, kept version by version.

#include "archive/tarchive.h"
#include "archive/tarchive_p.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QUuid>
#include <QVariant>

namespace {

const char kEntryColumns[] = "wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas";

TArchiveEntry EntryFrom(const QSqlQuery &query, int first = 0)
{
    TArchiveEntry entry;
    entry.qsUuid = query.value(first).toString();
    entry.qsRodzaj = query.value(first + 1).toString();
    entry.qsPrzedmiot = query.value(first + 2).toString();
    entry.qsWartosc = query.value(first + 3).toString();
    entry.qsAutor = query.value(first + 4).toString();
    entry.iCzasMs = query.value(first + 5).toLongLong();
    return entry;
}

// Whether `a` is newer than `b` in the order every archive uses.
bool Newer(const TArchiveEntry &a, const TArchiveEntry &b)
{
    return a.iCzasMs != b.iCzasMs ? a.iCzasMs > b.iCzasMs : a.qsUuid > b.qsUuid;
}

} // namespace

QString TArchive::PomiarSubject(qint64 id)
{
    if (!IsOpen())
        return QString();
    QSqlQuery query = d->Query();
    query.prepare(QStringLiteral("SELECT 'p:' || klucz FROM pomiar WHERE pomiar_id = ?"));
    query.addBindValue(id);
    if (!query.exec()) {
        d->Fail(query.lastError());
        return QString();
    }
    return query.next() ? query.value(0).toString() : QString();
}

QString TArchive::ObiektSubject(const QString &name)
{
    return QLatin1String("o:") + name;
}

QString TArchive::GroupSubject(const QString &uuid)
{
    return QLatin1String("g:") + uuid;
}

void TArchive::SetAutor(const QString &autor)
{
    d->qsAutor = autor;
}

QString TArchive::Autor() const
{
    return d->qsAutor;
}

int TArchive::AddEntry(const QString &rodzaj, const QString &przedmiot, const QString &wartosc,
                       TArchiveEntry *entry, qint64 czasMs)
{
    TArchiveEntry added;
    added.qsUuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    added.qsRodzaj = rodzaj;
    added.qsPrzedmiot = przedmiot;
    added.qsWartosc = wartosc;
    added.qsAutor = d->qsAutor;
    added.iCzasMs = czasMs >= 0 ? czasMs : QDateTime::currentMSecsSinceEpoch();
    const int result = PutEntry(added);
    if (result == ArchiveOk && entry)
        *entry = added;
    return result;
}

int TArchive::PutEntry(const TArchiveEntry &entry)
{
    if (!IsOpen())
        return ArchiveNotOpen;
    QSqlError error;
    if (!d->PutEntry(entry, false, nullptr, &error))
        return d->Fail(error);
    return ArchiveOk;
}

bool TArchive::TPrivate::PutEntry(const TArchiveEntry &entry, bool sent, bool *added, QSqlError *error)
{
    QSqlQuery query = Query();
    query.prepare(QStringLiteral("INSERT INTO wpis (%1, wyslany) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (wpis_uuid) DO NOTHING")
                      .arg(QLatin1String(kEntryColumns)));
    query.addBindValue(entry.qsUuid);
    query.addBindValue(entry.qsRodzaj);
    query.addBindValue(entry.qsPrzedmiot);
    query.addBindValue(entry.qsWartosc);
    // No name set yet is an empty author, never NULL (the column refuses it).
    query.addBindValue(entry.qsAutor.isNull() ? QStringLiteral("") : entry.qsAutor);
    query.addBindValue(entry.iCzasMs);
    query.addBindValue(sent ? 1 : 0);
    if (!query.exec()) {
        *error = query.lastError();
        return false;
    }
    if (added)
        *added = query.numRowsAffected() > 0;
    return true;
}

bool TArchive::LatestEntry(const QString &rodzaj, const QString &przedmiot, TArchiveEntry *entry)
{
    if (!IsOpen())
        return false;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM wpis WHERE rodzaj = ? AND przedmiot = ? "
                                 "ORDER BY czas DESC, wpis_uuid DESC LIMIT 1")
                      .arg(QLatin1String(kEntryColumns)));
    query.addBindValue(rodzaj);
    query.addBindValue(przedmiot);
    if (!query.exec()) {
        d->Fail(query.lastError());
        return false;
    }
    if (!query.next())
        return false;
    if (entry)
        *entry = EntryFrom(query);
    return true;
}

QVector<TArchiveEntry> TArchive::Entries(const QString &rodzaj, const QString &przedmiot)
{
    QVector<TArchiveEntry> entries;
    if (!IsOpen())
        return entries;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM wpis WHERE rodzaj = ? AND przedmiot = ? ORDER BY czas, wpis_uuid")
                      .arg(QLatin1String(kEntryColumns)));
    query.addBindValue(rodzaj);
    query.addBindValue(przedmiot);
    if (!query.exec()) {
        d->Fail(query.lastError());
        return entries;
    }
    while (query.next())
        entries.append(EntryFrom(query));
    return entries;
}

// Each subject's newest version among the query's rows, kept in `latest`.
static void KeepNewest(QSqlQuery &query, QHash<QString, TArchiveEntry> *latest)
{
    while (query.next()) {
        TArchiveEntry entry = EntryFrom(query);
        auto it = latest->find(entry.qsPrzedmiot);
        if (it == latest->end())
            latest->insert(entry.qsPrzedmiot, entry);
        else if (Newer(entry, *it))
            *it = entry;
    }
}

QHash<QString, TArchiveEntry> TArchive::LatestEntries(const QString &rodzaj)
{
    QHash<QString, TArchiveEntry> latest;
    if (!IsOpen())
        return latest;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM wpis WHERE rodzaj = ?").arg(QLatin1String(kEntryColumns)));
    query.addBindValue(rodzaj);
    if (!query.exec()) {
        d->Fail(query.lastError());
        return latest;
    }
    KeepNewest(query, &latest);
    return latest;
}

QHash<QString, TArchiveEntry> TArchive::LatestEntries(const QString &rodzaj, const QStringList &przedmioty)
{
    QHash<QString, TArchiveEntry> latest;
    if (!IsOpen())
        return latest;
    // Within the bound parameters every SQLite build allows (999).
    constexpr int kChunk = 900;
    for (int first = 0; first < przedmioty.size(); first += kChunk) {
        const int n = qMin(kChunk, przedmioty.size() - first);
        QStringList marks;
        for (int i = 0; i < n; ++i)
            marks << QStringLiteral("?");
        QSqlQuery query = d->Query();
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT %1 FROM wpis WHERE rodzaj = ? AND przedmiot IN (%2)")
                          .arg(QLatin1String(kEntryColumns), marks.join(QLatin1Char(','))));
        query.addBindValue(rodzaj);
        for (int i = 0; i < n; ++i)
            query.addBindValue(przedmioty.at(first + i));
        if (!query.exec()) {
            d->Fail(query.lastError());
            return latest;
        }
        KeepNewest(query, &latest);
    }
    return latest;
}

QHash<qint64, TArchiveEntry> TArchive::LatestPomiarEntries(const QString &rodzaj, qint64 objectId)
{
    QHash<qint64, TArchiveEntry> latest;
    if (!IsOpen())
        return latest;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT p.pomiar_id, w.wpis_uuid, w.rodzaj, w.przedmiot, w.wartosc, w.autor, w.czas "
                                 "FROM pomiar p JOIN wpis w ON w.rodzaj = ? AND w.przedmiot = 'p:' || p.klucz "
                                 "WHERE p.obiekt_id = ?"));
    query.addBindValue(rodzaj);
    query.addBindValue(objectId);
    if (!query.exec()) {
        d->Fail(query.lastError());
        return latest;
    }
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        TArchiveEntry entry = EntryFrom(query, 1);
        auto it = latest.find(id);
        if (it == latest.end())
            latest.insert(id, entry);
        else if (Newer(entry, *it))
            *it = entry;
    }
    return latest;
}

QString KomentarzEntryValue(const QString &text)
{
    return QString::fromUtf8(
        QJsonDocument(QJsonObject{{QStringLiteral("tekst"), text}}).toJson(QJsonDocument::Compact));
}

QString KomentarzFromEntryValue(const QString &value)
{
    return QJsonDocument::fromJson(value.toUtf8()).object().value(QStringLiteral("tekst")).toString();
}
