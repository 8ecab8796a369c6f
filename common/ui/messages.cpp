#include "common/ui/messages.h"

#include <QAbstractButton>
#include <QCoreApplication>

bool AskTakNie(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *parent)
{
    QMessageBox question(icon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    question.setTextFormat(Qt::PlainText);
    question.button(QMessageBox::Yes)->setText(QCoreApplication::translate("MainWindow", "TAK"));
    question.button(QMessageBox::No)->setText(QCoreApplication::translate("MainWindow", "NIE"));
    return question.exec() == QMessageBox::Yes;
}

TOdpowiedz AskTakNieAnuluj(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox question(icon, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    question.button(QMessageBox::Yes)->setText(QCoreApplication::translate("MainWindow", "TAK"));
    question.button(QMessageBox::No)->setText(QCoreApplication::translate("MainWindow", "NIE"));
    question.button(QMessageBox::Cancel)->setText(QCoreApplication::translate("MainWindow", "Anuluj"));
    question.setEscapeButton(QMessageBox::Cancel);
    switch (question.exec()) {
    case QMessageBox::Yes:
        return OdpowiedzTak;
    case QMessageBox::No:
        return OdpowiedzNie;
    default:
        return OdpowiedzAnuluj;
    }
}

void ShowProblem(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *parent)
{
    QMessageBox box(parent);
    box.setIcon(icon);
    if (!title.isEmpty())
        box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.exec();
}

QString PlainToolTip(const QString &text)
{
    if (text.isEmpty())
        return text;
    // A tool tip guesses rich text from the text itself; escaped inside a
    // paragraph of its own it is always shown as written.
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}
