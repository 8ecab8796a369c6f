#include "database/resultlabels.h"

#include "database/tdatabase.h"

#include <QCoreApplication>

// The main window's context throughout: these are the texts its form and
// slots show.

QString ObiektLabelText(const QString &obiekt)
{
    return QCoreApplication::translate("MainWindow", "Obiekt: ") + obiekt;
}

TCsvLabels RowResultTexts(TDataBase *baza, const QString &obiekt)
{
    TCsvLabels labels;
    labels.obiekt = ObiektLabelText(obiekt);
    labels.R = baza->WynikFromBase(WynikR);
    labels.czas = baza->WynikFromBase(WynikCzas);
    labels.metoda = QCoreApplication::translate("MainWindow", "Metoda:") + baza->WynikFromBase(WynikMetoda);
    labels.komentarz = QCoreApplication::translate("MainWindow", "Komentarz");
    return labels;
}

TCsvLabels FileResultTexts(TDataBase *baza)
{
    baza->UpdateWynikTexts();
    TCsvLabels labels;
    labels.obiekt = QCoreApplication::translate("MainWindow", "Obiekt");
    labels.R = baza->WynikFromFile(WynikR);
    labels.czas = baza->WynikFromFile(WynikCzas);
    labels.metoda = QCoreApplication::translate("MainWindow", "Metoda:") + baza->WynikFromFile(WynikMetoda);
    labels.komentarz = QCoreApplication::translate("MainWindow", "Komentarz");
    return labels;
}

QString FileKomentarzText(const QString &fileName)
{
    return QCoreApplication::translate("MainWindow", "Pomiar odczytany z pliku: ") + fileName;
}

TCsvLabels ResultCaptions()
{
    TCsvLabels keys;
    keys.obiekt = QCoreApplication::translate("MainWindow", "Obiekt");
    keys.R = QCoreApplication::translate("MainWindow", "Rezystancja");
    keys.czas = QCoreApplication::translate("MainWindow", "Czas");
    keys.metoda = QCoreApplication::translate("MainWindow", "Metoda");
    keys.komentarz = QCoreApplication::translate("MainWindow", "Komentarz");
    return keys;
}
