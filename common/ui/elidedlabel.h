#ifndef ELIDEDLABEL_H
#define ELIDEDLABEL_H

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QLabel;
QT_END_NAMESPACE

/// A one-line label of a form whose text may be longer than its width (an
/// object's name typed on the meter) shows "…" where the text goes on
/// instead of losing its end without a sign, and the whole text as its tool
/// tip, as plain text. The label's text() stays whole.
void ElideLabel(QLabel *label);

#endif // ELIDEDLABEL_H
