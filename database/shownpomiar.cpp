// The owner of the measurement shown and its announcements.

#include "database/shownpomiar.h"

#include <cstring>

TShownChanges::TShownChanges(TPomiarSource *meter, QObject *parent)
    : QObject(parent)
    , pMeter(meter)
    , pSource(meter)
    , pRecord(std::make_unique<TDataPomiar>())
{
    // Nothing is displayed before the first load; a zero record plots as two flat lines.
    std::memset(pRecord.get(), 0, sizeof(TDataPomiar));
}

TShownChanges::~TShownChanges() = default;

void TShownChanges::SetSource(TPomiarSource *source)
{
    if (!source)
        source = pMeter;
    if (source == pSource)
        return;
    pSource = source;
    emit SourceChanged(pSource);
}

int TShownChanges::Read(const TShownPomiar &pomiar, TPomiarRead *read)
{
    shown = pomiar;
    shown.plik.clear(); // known once its row is read
    shown.komentarz.clear();
    bRecordShown = false;
    const int loaded = pSource->ReadPomiar(pomiar.pomiarId, &row, pRecord.get(), read);
    if (read->rowRead) {
        shown.plik = row.plik_dane;
        shown.komentarz = row.komentarz;
    } else {
        shown.pomiarId = -1; // no row, nowhere for a comment to go
    }
    bRecordShown = loaded == TPomiarSource::LoadPomiarOk;
    return loaded;
}

void TShownChanges::Announce(const QString &message)
{
    if (bRecordShown)
        emit RecordShown(*pRecord);
    else
        emit RecordCleared(message);
    emit Changed(shown);
}

void TShownChanges::ShowFile(const QString &plik, const TDataPomiar &rec)
{
    shown = TShownPomiar();
    shown.plik = plik;
    std::memcpy(pRecord.get(), &rec, sizeof(TDataPomiar));
    bRecordShown = true;
    emit Changed(shown);
    emit RecordShown(*pRecord);
}

void TShownChanges::Forget()
{
    ForgetQuietly();
    emit RecordCleared(QString());
    emit Changed(shown);
}

void TShownChanges::ForgetQuietly()
{
    shown = TShownPomiar();
    bRecordShown = false;
}

void TShownChanges::SavedKomentarz(const QString &komentarz)
{
    shown.komentarz = komentarz;
    row.komentarz = komentarz;
    emit KomentarzSaved(shown.pomiarId, komentarz);
}
