#ifndef DOWNLOADRUN_H
#define DOWNLOADRUN_H

#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QSqlDatabase;
class QWidget;
QT_END_NAMESPACE

/// One "Pobierz bazę danych": asks for the target folder, copies the
/// meter's database and its data files with a progress dialog that can
/// cancel, and tells the outcome in one message over `window`.
class TDownloadRun
{
public:
    /// `importAfter` gets the local copy of the database after a copy that
    /// brought it (also when some data files failed) and returns a line
    /// for the final message (empty: nothing to say).
    TDownloadRun(QWidget *window, std::function<QString(const QString &)> importAfter);

    /// Copies the database `dataBasePath`, open as `db`, offering
    /// `defaultFolder` (made when missing) as the target.
    void Run(const QSqlDatabase &db, const QString &dataBasePath, const QString &defaultFolder);

private:
    QWidget *pWindow;
    std::function<QString(const QString &)> fnImportAfter;
};

#endif // DOWNLOADRUN_H
