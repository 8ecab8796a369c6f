#ifndef SHOWNPOMIAR_H
#define SHOWNPOMIAR_H

#include "database/pomiarrow.h"
#include "database/pomiarsource.h"
#include "measurement/tdatapomiar.h"

#include <QObject>
#include <QString>
#include <QtGlobal>

#include <memory>

/// The measurement the main window shows, as one record: the result area,
/// the comment save, the export and the report all read it, so they cannot
/// name different measurements.
struct TShownPomiar
{
    qint64 pomiarId = -1; // pomiar_id; -1 for none, or one opened from a file (no row for a comment)
    qint64 obiektId = -1; // obiekt_id of its object; -1 when not known
    QString obiekt;       // its object's name; empty for one opened from a file
    QString plik;         // its data file's name; empty until the file was read
    QString komentarz;    // its comment as the row holds it, line ends included
};

/// The one owner of what the main window shows: which source the tables
/// read (the meter's database or the archive), which measurement, its row,
/// its one record and its stored comment. Every change is announced, so
/// that what follows it (the chart windows, the verdict line, the history
/// windows) subscribes here instead of being told by the window: whatever
/// road changed it (a click, a forgotten row, a closed source, a file
/// opened), the followers see the same measurement.
class TShownChanges : public QObject
{
    Q_OBJECT
public:
    /// `meter` is the source whenever no other is shown: the meter's
    /// database, open or not. It outlives this object.
    explicit TShownChanges(TPomiarSource *meter, QObject *parent = nullptr);
    ~TShownChanges() override;

    // ---- what is shown
    TPomiarSource *Source() const { return pSource; }
    /// A meter database or the archive is shown.
    bool SourceOpen() const { return pSource->IsOpen(); }
    const TShownPomiar &Pomiar() const { return shown; }
    /// The row of the measurement shown, as its source read it.
    const TPomiarRow &Row() const { return row; }
    /// The one record: drawn, exported and evaluated. It is the measurement
    /// shown's only when HasRecord(); otherwise it may be another's.
    const TDataPomiar &Record() const { return *pRecord; }
    bool HasRecord() const { return bRecordShown; }
    /// The same record for the one window that writes to it: the inductance
    /// calculator notes in it the channels its calculation chose.
    TDataPomiar *EditableRecord() { return pRecord.get(); }

    // ---- changes
    /// Makes `source` (nullptr: the meter's database) the one the tables
    /// read; SourceChanged when it is another. The source must outlive its
    /// time here: the caller sets another before it deletes one.
    void SetSource(TPomiarSource *source);
    /// Reads measurement `pomiar.pomiarId` from the source into the row and
    /// the record and makes it the one shown; nothing is announced until
    /// Announce (the window shows it first). ReadPomiar's result, the
    /// details in `*read`. Without its row the measurement shown has no
    /// row for a comment to go to (pomiarId -1).
    int Read(const TShownPomiar &pomiar, TPomiarRead *read);
    /// Tells the followers what Read made of it: RecordShown with the
    /// record, or RecordCleared with `message` (why nothing is drawn); then Changed.
    void Announce(const QString &message = QString());
    /// A measurement opened from the data file `plik`, record `rec`: no row
    /// of any source. Changed, then RecordShown.
    void ShowFile(const QString &plik, const TDataPomiar &rec);
    /// Nothing is shown: RecordCleared (no message), then Changed.
    void Forget();
    /// As Forget, announcing nothing: the caller has announced it already.
    void ForgetQuietly();
    /// The comment of the measurement shown was saved as `komentarz`: KomentarzSaved.
    void SavedKomentarz(const QString &komentarz);

signals:
    /// The tables read `source` now.
    void SourceChanged(TPomiarSource *source);
    /// `shown` is the measurement shown now; its pomiarId is -1 when there
    /// is none (or one opened from a file).
    void Changed(const TShownPomiar &shown);
    /// The record of the measurement shown, drawn in the main chart.
    void RecordShown(const TDataPomiar &record);
    /// The main chart was emptied; `message` says why when there is a reason to give.
    void RecordCleared(const QString &message);
    /// The comment of measurement `pomiarId` is `komentarz` now, saved in its source.
    void KomentarzSaved(qint64 pomiarId, const QString &komentarz);

private:
    TPomiarSource *pMeter;
    TPomiarSource *pSource;
    TShownPomiar shown;
    TPomiarRow row;
    std::unique_ptr<TDataPomiar> pRecord; // 240 kB: on the heap, once
    bool bRecordShown = false;
};

#endif // SHOWNPOMIAR_H
