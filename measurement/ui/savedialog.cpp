// The save dialog of every file the program writes. Qt's own dialog returns
// a name exactly as typed; the proposed name has no suffix, so without the
// selected filter's suffix every first export would be refused as
// "unknown format".

#include "measurement/ui/savedialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

TSaveChoice AskSaveFile(QWidget *parent, const QString &caption, const QString &proposal,
                        const QVector<TSaveFilter> &filters)
{
    QStringList names;
    for (const TSaveFilter &f : filters)
        names << f.name;

    // Given as the start, the proposal opens its folder with its name
    // typed in, as QFileDialog::getSaveFileName does.
    QFileDialog dialog(parent, caption, proposal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(names);
    auto followFilter = [&dialog, &names, &filters](const QString &name) {
        const int i = names.indexOf(name);
        dialog.setDefaultSuffix(i >= 0 ? filters.at(i).suffix : QString());
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
    if (!names.isEmpty()) {
        dialog.selectNameFilter(names.first());
        followFilter(names.first());
    }

    TSaveChoice choice;
    if (dialog.exec() != QDialog::Accepted)
        return choice;
    choice.path = dialog.selectedFiles().value(0);
    choice.filter = names.indexOf(dialog.selectedNameFilter());
    return choice;
}

void ShowCannotSave(QWidget *parent, const QString &fileName, const QString &reason)
{
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(QCoreApplication::translate("TSaveDialog", "Błąd!"));
    // The reason comes from the system and the name from the user: text.
    box.setTextFormat(Qt::PlainText);
    box.setText(QCoreApplication::translate("TSaveDialog", "Nie można zapisać pliku:\n%1\n\n%2")
                    .arg(QDir::toNativeSeparators(fileName), reason));
    box.exec();
}
