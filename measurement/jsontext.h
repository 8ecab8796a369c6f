#ifndef JSONTEXT_H
#define JSONTEXT_H

#include <QString>

// The pieces of a JSON line written by hand, so that the keys keep the
// order a reader expects (QJsonObject sorts them).

/// `text` as a JSON string, quotes included.
QString JsonString(const QString &text);

/// `value` as a JSON number with every digit the double needs to read back
/// the same; null for NaN and infinities (JSON has no such numbers).
QString JsonNumber(double value);

#endif // JSONTEXT_H
