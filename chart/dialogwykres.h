#ifndef DIALOGWYKRES_H
#define DIALOGWYKRES_H

#include "measurement/tdatapomiar.h"

#include <QDialog>

QT_BEGIN_NAMESPACE
class QResizeEvent;
QT_END_NAMESPACE

namespace Ui {
class DialogWykres;
}

/// Top-level chart window showing the current and voltage of one record.
/// Opened with "Okno" it follows every measurement the main window displays
/// from the database (through UpdateWykresSLOT).
class DialogWykres : public QDialog
{
    Q_OBJECT

public:
    explicit DialogWykres(const TDataPomiar *pomiar, QWidget *parent = nullptr);
    ~DialogWykres() override;

public slots:
    void UpdateWykresSLOT(const TDataPomiar &wDP);
    /// Empties the chart as the main window's was, with `message` (why
    /// nothing is drawn) in its place when not empty.
    void ClearWykresSLOT(const QString &message);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    Ui::DialogWykres *ui;
};

#endif // DIALOGWYKRES_H
