// zym-simulator: writes a simulated meter folder (zym_5.db, data files and
// the sidecar zym_5_truth.csv with the true R and L of every measurement).
//
//   zym-simulator --out DIR --objects N --measurements M --seed S [--data-files K]
//                 [--slow-rise] [--thermal] [--heavy-noise]
//                 [--shape switched|exp-linear|double-exp|overdrive]

#include "simulator/zymsim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv); // the SQL driver is a plugin and needs it
    QCoreApplication::setApplicationName(QStringLiteral("zym-simulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a simulated ZYM-5 meter folder."));
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder to write."), QStringLiteral("DIR"));
    const QCommandLineOption objects(QStringLiteral("objects"), QStringLiteral("Number of objects."),
                                     QStringLiteral("N"), QStringLiteral("12"));
    const QCommandLineOption measurements(QStringLiteral("measurements"), QStringLiteral("Number of measurements."),
                                          QStringLiteral("M"), QStringLiteral("60"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed; the same seed gives the same folder."),
                                  QStringLiteral("S"), QStringLiteral("1"));
    const QCommandLineOption dataFiles(QStringLiteral("data-files"),
                                       QStringLiteral("Write data files only for the first K measurements."),
                                       QStringLiteral("K"), QStringLiteral("-1"));
    const QCommandLineOption slowRise(QStringLiteral("slow-rise"),
                                      QStringLiteral("Current of a damped source loop: slow rise, long tail."));
    const QCommandLineOption thermal(QStringLiteral("thermal"),
                                     QStringLiteral("A thermal voltage drifting through the record."));
    const QCommandLineOption heavyNoise(QStringLiteral("heavy-noise"),
                                        QStringLiteral("Heavy-tailed converter noise with rare spikes."));
    const QCommandLineOption shape(QStringLiteral("shape"),
                                   QStringLiteral("Pulse switched within a sample: switched, exp-linear, "
                                                  "double-exp or overdrive (of the fine voltage range)."),
                                   QStringLiteral("SHAPE"));
    parser.addOptions({out, objects, measurements, seed, dataFiles, slowRise, thermal, heavyNoise, shape});
    parser.process(app);

    QTextStream err(stderr);
    bool ok1 = false, ok2 = false, ok3 = false, ok4 = false;
    TSimOptions options;
    options.iObiekty = parser.value(objects).toInt(&ok1);
    options.iPomiary = parser.value(measurements).toInt(&ok2);
    options.seed = parser.value(seed).toULongLong(&ok3);
    options.iDataFiles = parser.value(dataFiles).toInt(&ok4);
    options.bSlowRise = parser.isSet(slowRise);
    options.bThermal = parser.isSet(thermal);
    options.bHeavyNoise = parser.isSet(heavyNoise);
    const QStringList shapes = {QString(), QStringLiteral("switched"), QStringLiteral("exp-linear"),
                                QStringLiteral("double-exp"), QStringLiteral("overdrive")};
    options.shape = parser.isSet(shape) ? shapes.indexOf(parser.value(shape)) : SimRaisedCosine;
    if (!parser.isSet(out) || !ok1 || !ok2 || !ok3 || !ok4 || (options.shape <= 0 && parser.isSet(shape))) {
        err << "zym-simulator: --out DIR is required; N, M, S and K must be whole numbers; "
               "SHAPE is switched, exp-linear, double-exp or overdrive\n";
        return 2;
    }

    TSimMeter meter;
    QString error;
    const int result = SimWriteMeter(parser.value(out), options, &meter, &error);
    if (result != SimOk) {
        err << "zym-simulator: " << error << '\n';
        return 1;
    }
    QTextStream(stdout) << "Wrote " << meter.qsDataBase << " (" << meter.obiekty.size() << " objects, "
                        << meter.pomiary.size() << " measurements) and " << meter.qsTruth << '\n';
    return 0;
}
