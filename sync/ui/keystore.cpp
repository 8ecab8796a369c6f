// The server password in the system's key store; see keystore.h.

#include "sync/ui/keystore.h"

#include "sync/tsync.h"

#include <QCoreApplication>
#include <QEventLoop>

#ifdef ZYM_HAVE_KEYCHAIN
#include <qt5keychain/keychain.h>
#endif

namespace {

const char kService[] = "ZYMReader";

#ifdef ZYM_HAVE_KEYCHAIN
// Runs a job to its end; QtKeychain answers through the event loop.
bool Finish(QKeychain::Job &job, const QString &key, QString *error)
{
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(key);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    if (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound)
        return true;
    *error = job.errorString();
    return false;
}
#else
bool Missing(QString *error)
{
    *error = QCoreApplication::translate("keystore", "program zbudowany bez magazynu haseł systemu (qtkeychain)");
    return false;
}
#endif

} // namespace

namespace keystore {

QString Key(const TServerSettings &server)
{
    return QStringLiteral("%1@%2:%3/%4").arg(server.qsUser, server.qsHost).arg(server.iPort).arg(server.qsDatabase);
}

bool Read(const QString &key, QString *password, QString *error)
{
    password->clear();
#ifdef ZYM_HAVE_KEYCHAIN
    QKeychain::ReadPasswordJob job{QLatin1String(kService)};
    if (!Finish(job, key, error))
        return false;
    *password = job.textData();
    return true;
#else
    Q_UNUSED(key)
    return Missing(error);
#endif
}

bool Write(const QString &key, const QString &password, QString *error)
{
#ifdef ZYM_HAVE_KEYCHAIN
    QKeychain::WritePasswordJob job{QLatin1String(kService)};
    job.setTextData(password);
    return Finish(job, key, error);
#else
    Q_UNUSED(key)
    Q_UNUSED(password)
    return Missing(error);
#endif
}

bool Remove(const QString &key, QString *error)
{
#ifdef ZYM_HAVE_KEYCHAIN
    QKeychain::DeletePasswordJob job{QLatin1String(kService)};
    return Finish(job, key, error);
#else
    Q_UNUSED(key)
    return Missing(error);
#endif
}

} // namespace keystore
