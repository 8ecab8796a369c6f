#ifndef PROGRESS_H
#define PROGRESS_H

#include <QString>

QT_BEGIN_NAMESPACE
class QProgressDialog;
QT_END_NAMESPACE

/// Makes `dialog` the program's progress window for a long road: modal to
/// its window, shown only after `minimumDurationMs`, with `cancelText` on
/// its button, and kept open at 100 % (the road closes it when it is done,
/// so a last step cannot reset or hide it before the summary).
void SetUpProgress(QProgressDialog *dialog, const QString &title, const QString &cancelText, int minimumDurationMs);

#endif // PROGRESS_H
