#include "app/messages.h"

#include <QAbstractButton>
#include <QCoreApplication>

bool AskTakNie(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *parent)
{
    QMessageBox question(icon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    question.button(QMessageBox::Yes)->setText(QCoreApplication::translate("MainWindow", "TAK"));
    question.button(QMessageBox::No)->setText(QCoreApplication::translate("MainWindow", "NIE"));
    return question.exec() == QMessageBox::Yes;
}

void ShowProblem(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box;
    box.setIcon(icon);
    if (!title.isEmpty())
        box.setWindowTitle(title);
    box.setText(text);
    box.exec();
}
