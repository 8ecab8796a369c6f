#ifndef ENGFORMAT_H
#define ENGFORMAT_H

#include <QString>

/// `ohms` with a unit prefix (µΩ, mΩ, Ω, kΩ, MΩ) that leaves one to three
/// integer digits, `significantDigits` digits in all and a decimal comma:
/// 0.0002 gives "200,0 µΩ", 5.5 gives "5,500 Ω".
QString FormatEngineering(double ohms, int significantDigits = 4);

#endif // ENGFORMAT_H
