#ifndef BENCHWINDOW_H
#define BENCHWINDOW_H

// What the window benchmarks share: a main window shown at its own size
// with its settings kept on loopback, the way a user opens a database in
// it, and the memory the heap holds.

#include "app/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <malloc.h>

namespace benchwindow {

/// The window reads its settings beside the program: keep the meter on
/// loopback and quitting silent. Removed again by ForgetSettings.
inline void KeepSettingsLocal()
{
    QSettings ini(QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini"), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Program/AskIfAppClose"), false);
    ini.setValue(QStringLiteral("ZYM/ZYM_NetAdress"), QStringLiteral("127.0.0.1"));
    ini.setValue(QStringLiteral("ZYM/ZYM_DataBasePath"), QStringLiteral("zym_5.db"));
}

inline void ForgetSettings()
{
    QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini"));
}

/// Message handler for the window benchmarks: the traces of every open and
/// display would drown the figures; warnings still reach standard error,
/// except the offscreen platform's note on size hints.
inline void Quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && !message.contains(QLatin1String("propagateSizeHints")))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

/// Lets the window system deliver what showing and painting queued.
inline void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

/// Opens `path` in `window` through "Otwórz lokalną bazę danych" and its
/// file dialog, as a user does.
inline void OpenInWindow(MainWindow *window, const QString &path)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, path]() {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->setDirectory(QFileInfo(path).absolutePath());
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(QFileInfo(path).fileName());
        QMetaObject::invokeMethod(dialog, "accept");
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
    window->findChild<QAction *>(QStringLiteral("actionOpenDataBase"))->trigger();
}

/// Answers every message box with the button titled `answer` as soon as
/// it shows; gone with the object.
class TAnswer : public QObject
{
public:
    explicit TAnswer(const QString &answer)
        : qsAnswer(answer)
    {
        qApp->installEventFilter(this);
    }
    ~TAnswer() override { qApp->removeEventFilter(this); }
    int iAsked = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched)) {
                for (QAbstractButton *button : box->buttons()) {
                    if (button->text() == qsAnswer) {
                        ++iAsked;
                        QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
                    }
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString qsAnswer;
};

/// Bytes the heap holds now, mapped blocks (large images) included.
inline double HeapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks) + double(m.hblkhd);
}

} // namespace benchwindow

#endif // BENCHWINDOW_H
