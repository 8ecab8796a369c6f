#ifndef WINDOWSUPPORT_H
#define WINDOWSUPPORT_H

#include "app/mainwindow.h"
#include "measurement/ui/komentarzedit.h"

#include <QList>
#include <QString>

#include <memory>

class QAction;
class QCustomPlot;
class QTableView;

namespace testsupport {

/// The main window as a user meets it: settings beside the program with
/// the meter on 127.0.0.1 (its database `folder`/nie_ma_miernika.db), the
/// open dialogs starting in `folder`, then `extraIni` appended; shown, and
/// its widgets found by their names.
struct TWindow
{
    std::unique_ptr<MainWindow> w;
    QTableView *obiekty = nullptr;
    QTableView *pomiary = nullptr;
    TKomentarzEdit *komentarz = nullptr;

    explicit TWindow(const QString &folder, const QString &extraIni = QString());

    QAction *Action(const char *name) const;
    QString Label(const char *name) const;
    bool ResultShown() const;
    QCustomPlot *Plot() const;
    int Graphs() const;
    bool Exportable() const;
    int Rows(QTableView *v) const;
    QString Cell(QTableView *v, int row, int column) const;
    /// The ids tV_Pomiary lists, in its order.
    QList<qint64> Listed() const;

    /// "Otwórz lokalną bazę danych" with `path` chosen.
    void Open(const QString &path);
    void ClickObiekt(int row);
    /// Clicks column `column` of the row of measurement `id`.
    void ClickPomiar(int id, int column = 1);
    void ClickPomiarRow(int row);
    /// Types `text` at the end of the comment, key by key.
    void Type(const QString &text);
    /// As if the user pasted `text` over the whole comment.
    void Paste(const QString &text);
};

} // namespace testsupport

#endif // WINDOWSUPPORT_H
