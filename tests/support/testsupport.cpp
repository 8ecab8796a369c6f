#include "support/testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QLineEdit>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>


namespace testsupport {

void WhenModal(std::function<void(QWidget *)> answer, int timeoutMs)
{
    auto *timer = new QTimer(qApp);
    auto *clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, answer, timeoutMs]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (clock->elapsed() > timeoutMs) {
                timer->stop();
                timer->deleteLater();
                delete clock;
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete clock;
        answer(modal);
    });
    timer->start();
}

void AnswerFileDialog(const QString &path)
{
    WhenModal([path](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        if (!dialog) {
            qWarning("expected a file dialog, found %s", w->metaObject()->className());
            if (auto *d = qobject_cast<QDialog *>(w))
                d->reject();
            return;
        }
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        const QFileDialog::FileMode mode = dialog->fileMode();
        const bool choosesFolder = mode != QFileDialog::AnyFile && mode != QFileDialog::ExistingFile
            && mode != QFileDialog::ExistingFiles;
        if (choosesFolder) {
            dialog->setDirectory(path);
        } else {
            // selectFile alone is ignored while the name field has the focus:
            // set the folder and type the name as a user would.
            const QFileInfo info(path);
            dialog->setDirectory(info.absolutePath());
            dialog->selectFile(path);
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                edit->setText(info.fileName());
        }
        QMetaObject::invokeMethod(dialog, "accept");
        // A dialog that refused the answer would hang the test: close it so
        // the test fails on its checks instead of timing out.
        QPointer<QFileDialog> guard(dialog);
        QTimer::singleShot(3000, qApp, [guard]() {
            if (guard && guard->isVisible()) {
                qWarning("the file dialog did not accept the answer");
                guard->reject();
            }
        });
    });
}

void AnswerMessageBox(const QString &buttonText, QString *seenText, QString *seenTitle)
{
    WhenModal([buttonText, seenText, seenTitle](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box) {
            qWarning("expected a message box, found %s", w->metaObject()->className());
            if (auto *d = qobject_cast<QDialog *>(w))
                d->reject();
            return;
        }
        if (seenText)
            *seenText = box->text();
        if (seenTitle)
            *seenTitle = box->windowTitle();
        // Qt's own buttons speak the interface language: "&Yes" is "&Tak" in Polish.
        const QString translated = QCoreApplication::translate("QPlatformTheme", buttonText.toUtf8().constData());
        for (QAbstractButton *b : box->buttons()) {
            if (b->text() == buttonText || b->text() == translated) {
                b->click();
                return;
            }
        }
        QStringList shown;
        for (QAbstractButton *b : box->buttons())
            shown << b->text();
        qWarning("no button %s on the message box (%s)", qPrintable(buttonText), qPrintable(shown.join(QLatin1Char(','))));
        box->reject();
    });
}

} // namespace testsupport
