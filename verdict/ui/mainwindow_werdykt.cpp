// The main window's side of verdicts: the verdict line in the result area
// for an archived measurement, and the object table's context menu that
// reaches an object's limits and the groups. The windows themselves are
// in werdyktwindows.h; what they write goes to the archive as entries.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "archive/ui/archiwumview.h"
#include "verdict/ui/werdyktwindows.h"

#include <QLabel>
#include <QRect>
#include <QMenu>
#include <QSettings>

namespace {
const char kLabelWerdykt[] = "label_Werdykt";

QString ObiektOfPomiar(TArchive *archive, qint64 id)
{
    TPomiarRow row;
    TArchivePomiarInfo info;
    return archive->ReadRow(id, &row, &info) ? info.qsObiekt : QString();
}
} // namespace

QString MainWindow::WerdyktAutor() const
{
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.value(QStringLiteral("Archiwum/Autor")).toString();
}

void MainWindow::AddWerdyktActions(QMenu *menu, const QModelIndex &objectIndex)
{
    if (!ArchiwumShown() || !objectIndex.isValid())
        return;
    const QString name = objectIndex.sibling(objectIndex.row(), 0).data(Qt::DisplayRole).toString();
    menu->addSeparator();
    QAction *settings = menu->addAction(tr("Ocena obiektu…"));
    settings->setObjectName(QStringLiteral("actionOcenaObiektu"));
    connect(settings, &QAction::triggered, this, [this, name]() {
        auto *window = new DialogObiektWerdykt(pArchiwum->archive.Path(), WerdyktAutor(), name, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        KeptDialogs.Keep(window);
        connect(window, &DialogObiektWerdykt::Saved, this, [this]() {
            if (ArchiwumShown() && iWerdyktPomiar > 0)
                ShowWerdyktLine(iWerdyktPomiar);
        });
        window->show();
    });
    QAction *groups = menu->addAction(tr("Grupy obiektów…"));
    groups->setObjectName(QStringLiteral("actionGrupyObiektow"));
    connect(groups, &QAction::triggered, this, [this, name]() {
        auto *window = new DialogGrupy(pArchiwum->archive.Path(), WerdyktAutor(), name, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        KeptDialogs.Keep(window);
        window->show();
    });
}

void MainWindow::HideWerdyktLine()
{
    iWerdyktPomiar = 0;
    if (auto *label = ui->gB_Wynik->findChild<QLabel *>(QLatin1String(kLabelWerdykt)))
        label->hide();
}

void MainWindow::ShowWerdyktLine(qint64 id)
{
    if (!ArchiwumShown())
        return;
    auto *label = ui->gB_Wynik->findChild<QLabel *>(QLatin1String(kLabelWerdykt));
    if (!label) {
        // Made with the first archived measurement: the form's own labels
        // stay as they are, this one sits in the free line above the comment.
        label = new QLabel(ui->gB_Wynik);
        label->setObjectName(QLatin1String(kLabelWerdykt));
        label->setTextFormat(Qt::RichText);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        connect(label, &QLabel::linkActivated, this, [this]() {
            if (!ArchiwumShown())
                return;
            const qint64 shownId = iWerdyktPomiar;
            auto *window = new DialogPomiarWerdykt(pArchiwum->archive.Path(), WerdyktAutor(), shownId, this);
            window->setAttribute(Qt::WA_DeleteOnClose);
            connect(window, &DialogPomiarWerdykt::Saved, this, [this, shownId]() { ShowWerdyktLine(shownId); });
            window->open();
        });
    }
    iWerdyktPomiar = id;
    TArchive &archive = pArchiwum->archive;
    archive.SetAutor(WerdyktAutor());
    TWerdyktZapis z;
    WerdyktOf(&archive, id, &z);
    const double t = ReadTemperatura(&archive, id);
    const double tRef = z.bStored ? z.material.dTRef : ReadUstawienia(&archive, ObiektOfPomiar(&archive, id)).material.dTRef;
    const QString line = WerdyktLineText(z, t, tRef, false);
    label->setToolTip(WerdyktLineText(z, t, tRef));
    // Under the time, as wide as the box lets it: the window's layout may
    // have moved the form's labels since the last time.
    const QRect czas = ui->label_Czas->geometry();
    label->setGeometry(czas.left(), czas.bottom() + 2, ui->gB_Wynik->width() - czas.left() - 10, czas.height() + 2);
    label->setFont(ui->label_Czas->font());
    // Plain text inside the markup: a reason typed by a person is shown as typed.
    label->setText(line.toHtmlEscaped() + QLatin1String(" &nbsp;<a href=\"#\">") + tr("zmień…").toHtmlEscaped()
                   + QLatin1String("</a>"));
    const QColor colour = WerdyktColor(z.Werdykt());
    label->setStyleSheet(colour.isValid() ? QStringLiteral("background-color: %1;").arg(colour.name()) : QString());
    label->show();
}
