#ifndef ABOUT_H
#define ABOUT_H

#include <QDialog>

namespace Ui {
class about;
}

/// The "O programie" dialog: program name, version, maker, the Qt version in
/// use and the licence. Its texts are taken from the translator installed
/// when it is built and are not re-translated later.
class about : public QDialog
{
    Q_OBJECT

public:
    explicit about(QWidget *parent = nullptr);
    ~about() override;

private slots:
    void on_pB_OK_clicked();

private:
    Ui::about *ui;
};

#endif // ABOUT_H
