#include "download/ui/selectfolder.h"

#include "download/zymdownload.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString SelectFolder(QString startFolder)
{
    QFileDialog dialog(nullptr, QString(), QString(), QString());
    dialog.setDirectory(startFolder);
    // Files stay listed so that the user sees what an earlier download left
    // there; only a folder can be chosen.
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, false);
    if (dialog.exec() != QDialog::Accepted)
        return kNoFolder;
    // A folder highlighted in the list is the one the user chose; the
    // folder being shown counts only when nothing is highlighted.
    const QStringList chosen = dialog.selectedFiles();
    const QString folder = chosen.isEmpty() ? dialog.directory().absolutePath() : chosen.first();
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!path.endsWith(QLatin1Char('/'))) // a drive or file-system root ends in "/" already
        path += QLatin1Char('/');
    return path;
}
