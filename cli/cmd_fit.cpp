// fit: the least-squares R and L of the window's calculator and report,
// one JSON line per data file.

#include "cli/cli.h"

#include "measurement/datafile.h"
#include "measurement/jsontext.h"
#include "measurement/tdatapomiar.h"
#include "tools/fitrl.h"

#include <QCommandLineParser>

#include <memory>

namespace {

QString Help()
{
    return TCli::tr(
        "Użycie: zymreader-cli fit PLIK...\n"
        "\n"
        "Dopasowuje U = R·I + L·dI/dt do całego impulsu prądu każdego pliku danych\n"
        "(*.zym5), jak kalkulator i raport programu ZYMReader, i wypisuje jeden wiersz\n"
        "JSON na plik:\n"
        "  file, valid, R_ohm, sR_ohm (niepewność standardowa), L_uH, sL_uH,\n"
        "  residual_V (RMS reszt), rows (użyte wiersze), first_row, last_row,\n"
        "  kanalI, kanalU, reason (dlaczego dopasowanie jest niemożliwe, inaczej null).\n"
        "\n"
        "Kod wyjścia: 0 wszystkie pliki odczytano, 1 część plików nie dała się odczytać\n"
        "(wymienione z przyczyną; ich wiersz ma valid false), 2 błędne wywołanie.\n");
}

QString FitLine(const QString &file, const TFitRL &fit, const QString &reason)
{
    QString line = QStringLiteral("{\"file\":") + JsonString(file) + QStringLiteral(",\"valid\":")
        + (fit.bValid ? QStringLiteral("true") : QStringLiteral("false"));
    if (fit.bValid) {
        line += QStringLiteral(",\"R_ohm\":") + JsonNumber(fit.R) + QStringLiteral(",\"sR_ohm\":") + JsonNumber(fit.sR)
            + QStringLiteral(",\"L_uH\":") + JsonNumber(fit.L) + QStringLiteral(",\"sL_uH\":") + JsonNumber(fit.sL)
            + QStringLiteral(",\"residual_V\":") + JsonNumber(fit.rmsResidual) + QStringLiteral(",\"rows\":")
            + QString::number(fit.iRows) + QStringLiteral(",\"first_row\":") + QString::number(fit.firstRow)
            + QStringLiteral(",\"last_row\":") + QString::number(fit.lastRow) + QStringLiteral(",\"kanalI\":")
            + QString::number(fit.kanalI) + QStringLiteral(",\"kanalU\":") + QString::number(fit.kanalU)
            + QStringLiteral(",\"reason\":null");
    } else {
        line += QStringLiteral(",\"R_ohm\":null,\"sR_ohm\":null,\"L_uH\":null,\"sL_uH\":null,\"residual_V\":null,"
                               "\"rows\":")
            + QString::number(fit.iRows) + QStringLiteral(",\"reason\":") + JsonString(reason);
    }
    return line + QStringLiteral("}\n");
}

} // namespace

int CommandFit(const TCliArgs &args)
{
    QCommandLineParser parser;
    int exitCode = CliDone;
    if (!CliParse(&parser, args, Help(), &exitCode))
        return exitCode;
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return CliUsageError(args.command, TCli::tr("Brak plików danych."));

    TCliProgress progress;
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    int failed = 0;
    QByteArray out;
    for (int i = 0; i < files.size(); ++i) {
        progress.Step(i + 1, files.size(), files[i]);
        const DataFileResult read = ReadDataFile(files[i], rec.get());
        if (read != DataFileOk) {
            progress.Clear();
            CliItemFailed(files[i], DataFileErrorText(read));
            ++failed;
            out += FitLine(files[i], TFitRL(), DataFileErrorText(read)).toUtf8();
        } else {
            const TFitRL fit = FitRL(rec.get());
            out += FitLine(files[i], fit,
                           TCli::tr("pomiar nie pozwala na dopasowanie (brak wyraźnego impulsu prądu, "
                                    "przesterowany przetwornik, nieużyteczne kanały lub za mało wierszy)"))
                       .toUtf8();
        }
        // Lines leave in batches: a pipe reader gets them as they come
        // without one write per line.
        if (out.size() > 1 << 16 || i + 1 == files.size()) {
            progress.Clear();
            CliOut(out);
            out.clear();
        }
    }
    if (failed > 0)
        CliMessage(TCli::tr("nie udało się odczytać %1 z %2 plików").arg(failed).arg(files.size()));
    return failed > 0 ? CliSomeFailed : CliDone;
}
