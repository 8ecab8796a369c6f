#ifndef INDUKCYJNOSC_H
#define INDUKCYJNOSC_H

#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

class DialogCalc;
class DialogWykres;
struct TDataPomiar;

/// The windows "Narzędzia › Indukcyjność" opens.
struct TIndukcyjnoscWindows
{
    DialogWykres *wykres = nullptr;
    DialogCalc *calc = nullptr;
};

/// "Narzędzia › Indukcyjność": traces the meter's device information
/// (`zymValue` of each of its columns), then opens a chart of `pomiar` and
/// the calculator over it; `keep` takes both windows into keeping.
TIndukcyjnoscWindows OpenIndukcyjnosc(TDataPomiar *pomiar, const std::function<QString(const QString &)> &zymValue,
                                      const std::function<void(QWidget *)> &keep);

#endif // INDUKCYJNOSC_H
