#ifndef METERLINK_H
#define METERLINK_H

#include <QCoreApplication>
#include <QString>

#include <functional>

class TDataBase;

/// The way to the meter: whether it answers on its network, and its
/// database on the meter's share, opened in the window's `TDataBase`.
class TMeterLink
{
    // Its texts are the main window's and are translated as such.
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    /// Replaces the reachability check of the meter (tests use a loopback stand-in).
    void SetReachabilityCheck(std::function<bool(QString)> check);
    /// Checks that the meter at `netAdress` answers and opens its database
    /// `dataBasePath` in `baza`; false, the user told why, otherwise.
    bool Open(TDataBase &baza, const QString &netAdress, const QString &dataBasePath) const;

private:
    std::function<bool(QString)> fnIsZYMReachable;
};

#endif // METERLINK_H
