#ifndef DBSUPPORT_H
#define DBSUPPORT_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QVector>

class MainWindow;
class QTableView;

namespace testsupport {

/// One row of table `pomiar` for a database built by a test.
struct TTestPomiar
{
    TTestPomiar(int id_, int obiekt_id_, double rezystancja_)
        : id(id_), obiekt_id(obiekt_id_), rezystancja(rezystancja_) {}
    int id;
    int obiekt_id;
    double rezystancja;
    qint32 czas = 1600000000;
    QString plik_dane;            // empty: "pomiar_<id>.zym5"
    QVariant komentarz = QString(); // a null QVariant stores NULL
    int metoda = 0;
    int status = 0;
};

/// Makes an SQLite file at `path` with the tables obiekt, pomiar (and ZYM
/// with one row when `withZym`) as the meter writes them. Objects are
/// numbered from 1 in the order given. Empty string when it worked,
/// otherwise the reason.
QString MakeDataBase(const QString &path, const QStringList &obiekty, const QVector<TTestPomiar> &pomiary,
                     bool withZym = false);

/// Runs `sql` on the file at `path` through a connection of its own.
QString ExecSql(const QString &path, const QString &sql);

/// First column of the first row of `sql` on the file at `path`; an
/// invalid QVariant when there is none.
QVariant ReadValue(const QString &path, const QString &sql);

/// Overwrites the header of the first leaf page of table `table` in the
/// SQLite file at `path` (closed, its WAL checkpointed), as a bad sector
/// would: the other pages stay readable. The number of the page, or 0.
int DamageFirstLeafPage(const QString &path, const QString &table);

/// The stored comment of measurement `id` in the database file at `path`.
QString KomentarzOf(const QString &path, int id);

/// Whether the meter's database is open: the program keeps it on the
/// default connection, whoever opened it.
bool MeterDataBaseOpen();

/// Writes ZYMReader.ini beside the test executable: the meter on
/// 127.0.0.1, its database at `meterDataBase`, no close question, the
/// open dialogs starting in `lastOpenPath`.
void WriteLoopbackIni(const QString &meterDataBase, const QString &lastOpenPath = QString());

/// Removes ZYMReader.ini beside the test executable.
void RemoveIni();

/// Clicks the cell (`row`, `column`) of `view` with the mouse.
void ClickCell(QTableView *view, int row, int column);

/// Row of `view`'s model whose column 0 shows `id`, or -1.
int RowOfId(QTableView *view, int id);

/// Answers every message box that comes up while it lives by pressing the
/// button with text `answer`, and remembers what the boxes said.
class TMessageBoxWatch : public QObject
{
public:
    explicit TMessageBoxWatch(const QString &answer = QStringLiteral("NIE"));
    void SetAnswer(const QString &answer) { qsAnswer = answer; }
    int Count() const { return texts.size(); }
    QStringList texts;  // text of each box, in order
    QStringList titles; // window title of each box

private:
    void Poll();
    QString qsAnswer;
    QTimer timer;
};

} // namespace testsupport

#endif // DBSUPPORT_H
