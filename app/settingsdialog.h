#ifndef SETTINGSDIALOG_H
#define SETTINGSDIALOG_H

#include <QDialog>

QT_BEGIN_NAMESPACE
class QCheckBox;
class QFormLayout;
class QLineEdit;
QT_END_NAMESPACE

/// "Opcje › Ustawienia…": the settings a user changes, read from and
/// written to the settings file `iniFileName`. Only the keys shown here are
/// written; every other key and group of the file stays as it was.
class DialogUstawienia : public QDialog
{
    Q_OBJECT

public:
    DialogUstawienia(const QString &iniFileName, QWidget *parent = nullptr);

    /// Writes the dialog's values; false when the file cannot be written.
    bool Save();

private:
    QLineEdit *PathRow(const QString &label, bool folder, const QString &filter);

    QString qsIniFileName;
    QLineEdit *pAdres;
    QLineEdit *pBaza;
    QLineEdit *pFolder;
    QLineEdit *pArchiwum;
    QCheckBox *pImport;
    QCheckBox *pNarzedzia;
    QCheckBox *pPytaj;
    QCheckBox *pReopen;
    QFormLayout *pForm;
};

#endif // SETTINGSDIALOG_H
