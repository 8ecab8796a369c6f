#ifndef PROTOKOLPDF_H
#define PROTOKOLPDF_H

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QCustomPlot;
class TArchive;
struct TDataPomiar;
class TReportDoc;
struct TProtokol;
struct TWizyta;
struct TWizytaInfo;

/// The record of the measurement whose subject in entries is given; false
/// when there is none (its chart says so).
using TProtokolRekord = std::function<bool(const QString &subject, TDataPomiar *rec)>;

/// The protocol laid out as a document: the cover, the table of every
/// object, the summary with remarks and the signature block; the number
/// under every page beside "strona X z Y". With `p.bWykresy`, an appendix
/// of each measurement's chart drawn from `rekord` into `plots`, which
/// must outlive the document's painting.
void ProtokolDoc(const TProtokol &p, TReportDoc *doc, const TProtokolRekord &rekord = {},
                 std::vector<std::unique_ptr<QCustomPlot>> *plots = nullptr);
/// The protocol's PDF; empty when it could not be made.
QByteArray ProtokolPdf(const TProtokol &p, const TProtokolRekord &rekord = {});

/// The forms a protocol is written in.
enum TProtokolFormat { ProtokolFormatPdf = 0, ProtokolFormatXlsx = 1, ProtokolFormatCsv = 2 };

/// The bytes of revision `rev` of the visit's protocol (-1: the visit's
/// current revision: the approved one of a frozen visit, else the draft made
/// from the archive now). An approved revision is written from what was
/// approved: its PDF as stored, the workbook and the CSV from its snapshot,
/// so they read the same whenever and wherever they are written. The window
/// and the command line both write through here. Empty, with the reason in
/// `*errorText`, on failure. `wykresy` puts the appendix of charts into a
/// draft's PDF; an approved one has it as it was approved.
QByteArray ProtokolBytes(TArchive *archive, const TWizytaInfo &info, int rev, int format, QString *errorText,
                         bool wykresy = false);

/// Approves the visit's draft: its snapshot as of now, signed by the
/// archive's author, and the PDF made from it (with the appendix of charts
/// when `wykresy`). ArchiveOk, a TWizytaResult or the archive's failure
/// (reason in `*errorText`).
int ZatwierdzProtokol(TArchive *archive, const TWizyta &w, QString *errorText, bool wykresy = false);

#endif // PROTOKOLPDF_H
