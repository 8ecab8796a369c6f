#ifndef NAMECOLUMN_H
#define NAMECOLUMN_H

#include <QObject>

QT_BEGIN_NAMESPACE
class QTableView;
QT_END_NAMESPACE

/// Keeps the one column of the object table as wide as the table while the
/// names fit in it, and as wide as the longest name (read by scrolling, its
/// header at the left edge so that it stays in sight) when they do not;
/// followed again whenever the table changes its width.
class TNameColumn : public QObject
{
    Q_OBJECT

public:
    /// The fitter of `view`, created on first use (owned by the view).
    static TNameColumn *Attach(QTableView *view);

    /// Measures the names and the header again (after a fill, a filter or
    /// a language switch) and fits the column.
    void Refit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TNameColumn(QTableView *view);
    void Apply();

    QTableView *pView;
    QObject *pViewport;
    int iNeeded = 0;        // px the names and the header need, as last measured
    bool bMeasuring = false;
};

#endif // NAMECOLUMN_H
