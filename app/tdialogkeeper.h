#ifndef TDIALOGKEEPER_H
#define TDIALOGKEEPER_H

#include <QList>
#include <QPointer>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

/// Owns the main window's secondary windows, which have no parent: the chart
/// dialogs, the calculators, the About dialog and whatever window a command
/// opens later. Closing such a window only hides it, so something has to
/// delete it when the program ends; a window deleted earlier by someone else
/// (a command that replaces its window) is simply forgotten (the pointers
/// are guarded), so nothing is deleted twice.
class TDialogKeeper
{
public:
    TDialogKeeper() = default;
    TDialogKeeper(const TDialogKeeper &) = delete;
    TDialogKeeper &operator=(const TDialogKeeper &) = delete;
    /// Deletes every kept window that still exists.
    ~TDialogKeeper();

    /// Takes `window` into keeping; a null or already kept window changes nothing.
    void Keep(QWidget *window);
    /// Closes every kept window that still exists (those that delete
    /// themselves on close are gone afterwards).
    void CloseAll();
    /// Number of kept windows that still exist.
    int Count() const;

private:
    QList<QPointer<QWidget>> windows;
};

#endif // TDIALOGKEEPER_H
