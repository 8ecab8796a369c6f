// The meters an archive history's report names.

#include "archive/historiameter.h"

#include "archive/tarchive.h"
#include "database/tdatabase.h"
#include "historia/historia.h"

THistoriaMeter HistoriaMeter(TArchive *archive, const QVector<THistoriaRow> &rows, const QStringList &meters)
{
    QStringList serials, hws, firmwares;
    auto add = [](QStringList *list, const QString &value) {
        if (!value.isEmpty() && !list->contains(value))
            list->append(value);
    };
    // One row per meter is read: the rest of a meter's rows name the same one.
    QStringList seen;
    for (int i = 0; i < rows.size() && i < meters.size(); ++i) {
        if (seen.contains(meters.at(i)))
            continue;
        seen << meters.at(i);
        TPomiarRow row;
        TArchivePomiarInfo info;
        if (!archive->ReadRow(rows.at(i).id, &row, &info))
            continue;
        add(&serials, info.meter.qsSerial);
        add(&hws, info.meter.qsHw);
        add(&firmwares, info.meter.qsFirmware);
    }
    const QString comma = QStringLiteral(", ");
    return {serials.join(comma), hws.join(comma), firmwares.join(comma)};
}
