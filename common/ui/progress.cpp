#include "common/ui/progress.h"

#include <QProgressDialog>

void SetUpProgress(QProgressDialog *dialog, const QString &title, const QString &cancelText, int minimumDurationMs)
{
    dialog->setWindowTitle(title);
    dialog->setCancelButtonText(cancelText);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(minimumDurationMs);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
}
