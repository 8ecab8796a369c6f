// The way to the meter, as "Połącz" and "Pobierz bazę danych" take it:
// the meter answers, and its database on the meter's share opens (the copy
// itself is TDownloadRun's).

#include "download/ui/meterlink.h"

#include "common/ui/messages.h"
#include "database/tdatabase.h"
#include "download/reachability.h"

#include <QDir>
#include <QMessageBox>

void TMeterLink::SetReachabilityCheck(std::function<bool(QString)> check)
{
    fnIsZYMReachable = std::move(check);
}

bool TMeterLink::Open(TDataBase &baza, const QString &netAdress, const QString &dataBasePath) const
{
    const bool reachable = fnIsZYMReachable ? fnIsZYMReachable(netAdress) : IsZYMReachable(netAdress);
    if (!reachable) {
        ShowProblem(QMessageBox::NoIcon, QString(),
            tr("Uwaga!\nW celu pobrania pomiarów z urządzenia ZYM-5 należy włączyć w urządzeniu ZYM sieć WIFI oraz "
               "połączyć się z siecią WIFI o nazwie \"ZYM_VORTA\". Połączenie to zabezpieczone jest hasłem "
               "„qev40718”. Jeżeli jesteś już połączony z tą siecią - wybierz OK. W przeciwnym wypadku, wybierz "
               "anuluj i postępuj wedle instrukcji dołączonej do urządzenia."));
        return false;
    }
    const TDataBase::OpenResult opened = baza.Open(dataBasePath);
    if (opened == TDataBase::OpenNoFile) {
        // The driver has nothing to say about a file it never saw ("Driver
        // not loaded"): name the path and where it usually goes wrong.
        QString text = tr("Błąd otwarcia bazy danych.") + QLatin1Char('\n')
            + tr("Nie znaleziono pliku bazy danych miernika albo jest on nieosiągalny:\n%1")
                  .arg(QDir::toNativeSeparators(dataBasePath));
#ifdef Q_OS_LINUX
        text += QStringLiteral("\n\n")
            + tr("Udział sieciowy miernika musi być zamontowany, na przykład:\n"
                 "sudo mount -t cifs //%1/zym_wyniki /mnt/zym -o guest\n"
                 "a w „Opcje › Ustawienia…” baza danych miernika /mnt/zym/zym_5.db "
                 "(zob. README).")
                  .arg(netAdress);
#endif
#ifndef Q_OS_LINUX
        text += QStringLiteral("\n\n") + tr("Adres miernika i ścieżkę jego bazy danych można zmienić w „Opcje › Ustawienia…”.");
#endif
        ShowProblem(QMessageBox::NoIcon, QString(), text);
        return false;
    }
    if (opened != TDataBase::OpenOk) {
        ShowProblem(QMessageBox::NoIcon, QString(), tr("Błąd otwarcia bazy danych.") + baza.LastErrorText());
        return false;
    }
    return true;
}
