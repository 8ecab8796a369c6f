#ifndef REPORTTEXT_H
#define REPORTTEXT_H

// What the two reports say, as plain texts: the window gathers the values,
// these functions word them, and the document in reportdoc only lays them
// out. Nothing here includes a GUI header.

#include <QCoreApplication>
#include <QDateTime>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

/// One line of a key-value block: the caption and its value.
using TReportField = QPair<QString, QString>;

/// Everything a measurement report shows, as the main window holds it.
struct TPomiarReport
{
    QString serial;     // ZYM.serial_zym, "NULL" or empty when there is no database
    QString hw;         // ZYM.hw
    QString firmware;   // ZYM.firmware_cortex
    QString obiekt;     // object name; empty for a measurement opened from a file
    QString czas;       // the measurement's time as the result area shows it
    QString metoda;     // the method as the result area shows it
    int status = 0;     // pomiar_status; -1 is out of range
    bool bStatusKnown = false; // false for a file without a database row
    QString plikDanych; // the data file's name
    QString rText;      // the result area's R text, exactly as shown
    double r = 0;       // ohms
    bool bFit = false;  // true when the least-squares values below are valid
    double rFit = 0, sR = 0; // ohms
    double lFit = 0, sL = 0; // µH
    QString komentarz;  // in full
    QDateTime made;     // when the report was made (local time)
    QVector<TReportField> ocena; // an archived measurement's verdict, limits and signature lines; empty: none
};

/// The object report's first page: what the history window knows.
struct TObiektReport
{
    QString obiekt;
    QString serial, hw, firmware; // as in TPomiarReport
    QString reference;            // the reference as the history window words it
    int count = 0;                // measurements in the history
    QString first, last;          // time of the first and of the last measurement
    QString latestChange;         // the latest measurement against the reference, worded
    QStringList header;           // the history table ...
    QVector<QStringList> rows;    // ... one row of texts per measurement
    QDateTime made;
};

class TReportTexts
{
    Q_DECLARE_TR_FUNCTIONS(TReportTexts)

public:
    static QString PomiarTitle();
    static QString ObiektTitle();
    /// "Data sporządzenia: ..." of `made` (now, when it is not valid).
    static QString MadeLine(const QDateTime &made);
    /// Serial, hardware and firmware in one line; "—" when the database
    /// gave none of them.
    static QString Meter(const QString &serial, const QString &hw, const QString &firmware);
    /// The measurement's title block, in report order.
    static QVector<TReportField> PomiarFields(const TPomiarReport &data);
    /// The object report's title block and summary.
    static QVector<TReportField> ObiektFields(const TObiektReport &data);
    static QVector<TReportField> ObiektSummary(const TObiektReport &data);
    static QString KomentarzCaption();
    static QString ChartCaption();
    static QString HistoryChartCaption();
    static QString TableCaption();
    /// "strona N z M".
    static QString PageOf(int page, int pages);

    // The commands that lead to the reports, for the menus that offer them.
    static QString SaveCommand();  ///< "Zapisz raport PDF…"
    static QString PrintCommand(); ///< "Drukuj…"
    static QString SaveCaption();
    static QString PdfFilter();
    /// "Historia_<object>_<date>": a proposed file name without suffix, with
    /// the characters no file system takes replaced by "_".
    static QString ObiektFileName(const QString &obiekt, const QDate &date);
};


/// FormatWithUncertainty ("12.3456 mΩ ± 0.0012 mΩ"), "—" when either is not finite.
QString ReportWithUncertainty(double value, double sigma, const QString &unit);

#endif // REPORTTEXT_H
