// Writing the data file of an exported measurement.

#include "database/tdatabase.h"

#include "measurement/csvexport.h"
#include "measurement/replacefile.h"

#include <QByteArray>

int TDataBase::SaveDataFile(const TDataPomiar *rec, QString fileName, QString *errorText)
{
    // The whole file is replaced, never written over in place: a longer old
    // file must not keep its tail, and a failed write must not leave a
    // half-new record where a good one was.
    const QByteArray image = QByteArray::fromRawData(reinterpret_cast<const char *>(rec), int(kPomiarFileSize));
    return ReplaceFile(fileName, image, false, errorText);
}
