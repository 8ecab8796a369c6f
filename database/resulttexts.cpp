#include "database/resulttexts.h"

#include "database/tdatabase.h"

#include <QCoreApplication>

namespace {

// The main window's context: these are the texts its form and slots show.
QString Tr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

QString ObiektLabelText(const QString &obiekt)
{
    return Tr("Obiekt: ") + obiekt;
}

TCsvLabels RowResultTexts(TDataBase *baza, const QString &obiekt)
{
    TCsvLabels labels;
    labels.obiekt = ObiektLabelText(obiekt);
    labels.R = baza->WynikFromBase(WynikR);
    labels.czas = baza->WynikFromBase(WynikCzas);
    labels.metoda = Tr("Metoda:") + baza->WynikFromBase(WynikMetoda);
    labels.komentarz = Tr("Komentarz");
    return labels;
}

TCsvLabels FileResultTexts(TDataBase *baza)
{
    baza->UpdateWynikTexts();
    TCsvLabels labels;
    labels.obiekt = Tr("Obiekt");
    labels.R = baza->WynikFromFile(WynikR);
    labels.czas = baza->WynikFromFile(WynikCzas);
    labels.metoda = Tr("Metoda:") + baza->WynikFromFile(WynikMetoda);
    labels.komentarz = Tr("Komentarz");
    return labels;
}

QString FileKomentarzText(const QString &fileName)
{
    return Tr("Pomiar odczytany z pliku: ") + fileName;
}

TCsvLabels ResultCaptions()
{
    TCsvLabels keys;
    keys.obiekt = Tr("Obiekt");
    keys.R = Tr("Rezystancja");
    keys.czas = Tr("Czas");
    keys.metoda = Tr("Metoda");
    keys.komentarz = Tr("Komentarz");
    return keys;
}
