#ifndef WINDOWSUPPORT_H
#define WINDOWSUPPORT_H

#include "app/mainwindow.h"
#include "measurement/ui/komentarzedit.h"

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>

class QAction;
class QCustomPlot;
class QTableView;
struct TDataPomiar;

namespace testsupport {

/// The windows of class T alive now. The main window's secondary windows
/// have no parent: they are top-level windows of their own.
template <class T>
QList<T *> Windows()
{
    QList<T *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (T *window = qobject_cast<T *>(w))
            found << window;
    }
    return found;
}

/// The one window of class T alive now; null when there is none or more than one.
template <class T>
T *OnlyWindow()
{
    const QList<T *> found = Windows<T>();
    return found.size() == 1 ? found.first() : nullptr;
}

/// The windows alive when it is made; One<T>() then names the window of
/// class T that a command opened since.
class TOpenedWindows
{
public:
    TOpenedWindows();
    /// Null when no window of class T, or more than one, was opened since.
    template <class T>
    T *One() const
    {
        T *opened = nullptr;
        for (T *window : Windows<T>()) {
            if (Existed(window))
                continue;
            if (opened)
                return nullptr;
            opened = window;
        }
        return opened;
    }

private:
    bool Existed(QWidget *window) const;
    QList<QPointer<QWidget>> before; // guarded: a new window may reuse a gone one's address
};

/// Whether `plot` draws `rec`: the chart's two series, point by point, are
/// the ones the record gives. What a window plots tells which record it holds.
bool DrawsRecord(QCustomPlot *plot, const TDataPomiar &rec);

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
