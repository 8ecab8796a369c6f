#ifndef LASTCOLUMN_H
#define LASTCOLUMN_H

#include <QObject>

QT_BEGIN_NAMESPACE
class QTableView;
QT_END_NAMESPACE

/// Keeps the last column of a table (the object names, the comments) as
/// wide as the room the other columns leave while its texts fit in it, and
/// as wide as its longest text when they do not: that one is read by
/// scrolling, with the headers at the left edge of their columns so that
/// its header stays in sight. Followed again whenever the table changes
/// its width.
class TLastColumn : public QObject
{
    Q_OBJECT

public:
    /// The fitter of `view`, created on first use (owned by the view).
    static TLastColumn *Attach(QTableView *view);

    /// Measures the column's texts and header again (after a fill, a
    /// filter, a saved comment or a language switch) and fits it.
    void Refit();
    /// After FitCell widened the column for one changed cell: the other
    /// texts are not measured again.
    void Widened();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TLastColumn(QTableView *view);
    void Apply();
    int LastColumn() const;

    QTableView *pView;
    QObject *pViewport;
    int iNeeded = 0;        // px the texts and the header need, as last measured
    bool bMeasuring = false;
};

#endif // LASTCOLUMN_H
