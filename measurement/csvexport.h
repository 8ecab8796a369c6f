#ifndef CSVEXPORT_H
#define CSVEXPORT_H

#include "measurement/replacefile.h"

#include <QByteArray>
#include <QString>

struct TDataPomiar;

/// What a file name's suffix asks the export to write (FileKind).
enum ExportKind {
    ExportUnknown = -1, ///< no suffix, or one that is not exported
    ExportCsv = 1,      ///< "csv": the result texts and the waveforms as text
    ExportPdf = 2,      ///< "pdf": the measurement report
    ExportZym5 = 3,     ///< "zym5": the raw record, a data file
    ExportCsvPoint = 4  ///< the CSV with decimal points; chosen by the save dialog's filter, never by a suffix
};

/// Result codes of the export writers (SaveCsvFile, TDataBase::SaveDataFile).
enum ExportResult {
    ExportOk = ReplaceFileOk,                ///< the whole file was written and replaced the old one
    ExportOpenFailed = ReplaceFileOpenFailed, ///< the file could not be created (missing folder, a folder as target, ...)
    ExportWriteFailed = ReplaceFileWriteFailed ///< writing failed (full disk, device error); the old file is kept
};

/// The five result texts the CSV file starts with, in file order, exactly
/// as the result box shows them. The decimal-point variant takes two of
/// these: the captions (keys) and the texts (values).
struct TCsvLabels
{
    QString obiekt;    // label_obiekt
    QString R;         // label_R
    QString czas;      // label_Czas
    QString metoda;    // label_Metoda
    QString komentarz; // label_Komentarz, the caption of the comment box
};

/// The 3000 data lines of `*rec` (rows 0 to 2999): "t;U;I;" with 3 and 6
/// decimals and decimal commas, or the time alone when `kanalI`/`kanalU`
/// are not a current/voltage pair. Each line ends with "\n".
QString CsvDataText(const TDataPomiar *rec);

/// The whole CSV file of `*rec` as SaveCsvFile writes it: the five label
/// lines, the header line and the 3000 data lines, in the locale's encoding,
/// with "\n" line ends (the text mode of the file turns them into the
/// platform's).
QByteArray CsvFileBytes(const TCsvLabels &labels, const TDataPomiar *rec);

/// Appends the text of CsvFileBytes to `out`, growing it only when its
/// capacity is short: a caller writing many records can keep one buffer.
void AppendCsvFileBytes(QByteArray &out, const TCsvLabels &labels, const TDataPomiar *rec);

/// Replaces `fileName` with the CSV text of `*rec`, in text mode and the
/// locale's encoding (what a spreadsheet on the same machine expects).
/// The reason of a failure goes to `*errorText`.
ExportResult SaveCsvFile(const QString &fileName, const TCsvLabels &labels, const TDataPomiar *rec,
                QString *errorText = nullptr);

/// The decimal-point variant for spreadsheets and scripts in any locale
/// (RFC 4180): a UTF-8 byte-order mark, the five lines "key","value" (the
/// `keys` and `values` in file order; quotes inside doubled), the header
/// "t [ms],U [V],I [A]", then the data lines of CsvDataText with "," between
/// fields, "." as decimal point and no trailing separator. Every line ends
/// with CR LF, also a time-only one.
QByteArray CsvPointBytes(const TCsvLabels &keys, const TCsvLabels &values, const TDataPomiar *rec);

/// Replaces `fileName` with CsvPointBytes, byte for byte on every platform.
/// The reason of a failure goes to `*errorText`.
ExportResult SaveCsvPointFile(const QString &fileName, const TCsvLabels &keys, const TCsvLabels &values,
                              const TDataPomiar *rec, QString *errorText = nullptr);

/// `text` as a spreadsheet takes it for text: a field that starts with
/// "=", "+", "-", "@", a tab or a carriage return gets a leading apostrophe,
/// so that a name or comment such as "=HYPERLINK(...)" is not run as a
/// formula. A plain number ("-5", "+1,5", "2.5e-3") is left as it is.
QString CsvTextField(const QString &text);

/// "Pomiar_yyyy-MM-dd_hh-mm-ss" of `czas` (seconds since 1970 UTC) in local
/// time; the prefix is translated in the context QObject.
QString DefaultFileName(uint czas);

/// `text` made fit to be part of a proposed file name: characters a file
/// name cannot hold on Windows, control characters and invisible format
/// characters (a right-to-left override U+202E would show "fdp.exe" as
/// "exe.pdf"; tag characters U+E0001...), unpaired surrogates, unassigned
/// code points and noncharacters each become one "_".
QString FileNamePart(const QString &text);

/// The text after the last "." of the file's own name, as typed; empty
/// when there is none. Dots in folder names do not count.
QString FileSuffix(QString fileName);

/// The ExportKind of `fileName`'s suffix, ignoring case.
ExportKind FileKind(QString fileName);

/// What to write for `fileName` chosen under a save dialog filter of kind
/// `filterKind`: the suffix decides the format, and the filter only picks
/// the CSV variant (a ".csv" name under any other filter gets the meter's
/// layout).
ExportKind ExportKindFor(QString fileName, ExportKind filterKind);

#endif // CSVEXPORT_H
