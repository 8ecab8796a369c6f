// The data half of testsupport.h: records and files, no widgets (the data
// tests link this alone).

#include "support/testsupport.h"

#include <QFile>

#include <cmath>
#include <cstring>

namespace testsupport {

std::unique_ptr<TDataPomiar> ZeroRecord()
{
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    std::memset(rec.get(), 0, sizeof(TDataPomiar));
    return rec;
}

std::unique_ptr<TDataPomiar> PulseRecord(double amps, double ohms)
{
    std::unique_ptr<TDataPomiar> rec = ZeroRecord();
    rec->kanalI = 2;
    rec->kanalU = 1;
    rec->skala[0] = 0.001;
    rec->skala[1] = 0.001;
    rec->skala[2] = 0.01;
    rec->skala[3] = 0.01;
    rec->skala[4] = 0.01;
    rec->skala[5] = 0.05;
    rec->rezystancja = ohms;
    rec->czas = 1600000000;
    for (int r = 0; r < kPomiarRows; ++r) {
        // Trapezoid pulse: rise over rows 1000..1100, top, fall over 1900..2000.
        double f = 0;
        if (r >= 1000 && r < 1100)
            f = (r - 1000) / 100.0;
        else if (r >= 1100 && r < 1900)
            f = 1.0;
        else if (r >= 1900 && r < 2000)
            f = (2000 - r) / 100.0;
        const double i = amps * f;
        const double u = i * ohms;
        rec->dane[r][0] = kOffset03 + int(std::lround(u / rec->skala[0]));
        rec->dane[r][1] = kOffset14 + int(std::lround(u / rec->skala[1]));
        rec->dane[r][2] = int(std::lround(i / rec->skala[2]));
        rec->dane[r][3] = kOffset03 + int(std::lround(u / rec->skala[3]));
        rec->dane[r][4] = kOffset14 + int(std::lround(u / rec->skala[4]));
        rec->dane[r][5] = int(std::lround(i / rec->skala[5]));
    }
    return rec;
}

bool WriteRecordBytes(const QString &path, const TDataPomiar &rec, qint64 bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(reinterpret_cast<const char *>(&rec), bytes) == bytes;
}

QStringList ReadLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString all = QString::fromUtf8(f.readAll());
    all.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = all.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace testsupport
