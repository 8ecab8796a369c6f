// The main window's side of verdicts: the verdict line in the result area
// for an archived measurement, and the object table's context menu that
// reaches an object's limits and the groups. The windows themselves are
// in werdyktwindows.h; what they write goes to the archive as entries.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "archive/ui/archiwumview.h"
#include "database/ui/dialoghistoria.h"
#include "measurement/engformat.h"
#include "verdict/ui/werdyktwindows.h"
#include "verdict/verdictreport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QRect>
#include <QMenu>
#include <QSettings>
#include <QToolBar>

#include <cmath>

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
    connect(settings, &QAction::triggered, this, [this, name]() { OpenObiektWerdykt(name); });
    QAction *groups = menu->addAction(tr("Grupy obiektów…"));
    groups->setObjectName(QStringLiteral("actionGrupyObiektow"));
    connect(groups, &QAction::triggered, this, [this, name]() {
        auto *window = new DialogGrupy(pArchiwum->archive.Path(), WerdyktAutor(), name, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        KeptDialogs.Keep(window);
        window->show();
    });
}

void MainWindow::OpenObiektWerdykt(const QString &name)
{
    if (!ArchiwumShown())
        return;
    {
        auto *window = new DialogObiektWerdykt(pArchiwum->archive.Path(), WerdyktAutor(), name, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        KeptDialogs.Keep(window);
        connect(window, &DialogObiektWerdykt::Saved, this, [this, name]() {
            if (!ArchiwumShown())
                return;
            if (iWerdyktPomiar > 0)
                ShowWerdyktLine(iWerdyktPomiar);
            if (DialogHistoria *historia = Historie.Find(pArchiwum->archive.ObjectId(name)))
                ShowHistoriaWerdykty(historia);
        });
        window->show();
    }
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

void MainWindow::RetranslateWerdykt()
{
    // The history windows' own actions follow their window; this one was
    // added from here, in this window's context.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!qobject_cast<DialogHistoria *>(window))
            continue;
        if (auto *action = window->findChild<QAction *>(QStringLiteral("actionOcenaObiektu")))
            action->setText(tr("Ocena obiektu…"));
    }
}

void MainWindow::ShowHistoriaWerdykty(DialogHistoria *window)
{
    TArchive &archive = pArchiwum->archive;
    const QString name = window->ObjectName();
    // The object's limits from its history too, once per window.
    auto *bar = window->findChild<QToolBar *>(QStringLiteral("tB_Historia"));
    if (bar && !bar->findChild<QAction *>(QStringLiteral("actionOcenaObiektu"))) {
        bar->addSeparator();
        QAction *settings = bar->addAction(tr("Ocena obiektu…"));
        settings->setObjectName(QStringLiteral("actionOcenaObiektu"));
        settings->setParent(bar);
        connect(settings, &QAction::triggered, this, [this, name]() { OpenObiektWerdykt(name); });
    }
    QVector<THistoriaRow> rows;
    if (!archive.ReadHistoria(window->ObjectId(), &rows))
        return;
    const THistoriaOcena h = OcenHistorie(&archive, name, window->ObjectId(), rows);
    // A history with nothing judged and nothing typed stays as it was.
    const TObiektUstawienia &u = h.ustawienia;
    bool any = u.limity.HasAny() || u.odniesienie.IsSet();
    for (int i = 0; i < rows.size() && !any; ++i)
        any = std::isfinite(h.temperatury.at(i)) || h.werdykty.at(i).Werdykt() != WerdyktBrak;
    if (!any)
        return;
    const double tRef = h.ustawienia.material.dTRef;
    QVector<QStringList> cells(rows.size()), csvCells(rows.size());
    QVector<QColor> colours(rows.size());
    // The CSV's numbers as its R column has them: every digit, decimal comma.
    auto csvNumber = [](double value) {
        return std::isfinite(value) ? QString::number(value, 'g', QLocale::FloatingPointShortest)
                                          .replace(QLatin1Char('.'), QLatin1Char(','))
                                    : QString();
    };
    for (int i = 0; i < rows.size(); ++i) {
        const TWerdyktZapis &z = h.werdykty.at(i);
        const double t = h.temperatury.at(i);
        const double rKor = CorrectedR(rows.at(i).R, t, h.ustawienia.material.dK, tRef);
        QString werdykt = WerdyktText(z.Werdykt());
        if (z.iReczny != WerdyktBrak)
            werdykt += tr(" (ręcznie: %1)").arg(z.qsPowod);
        cells[i] = QStringList{std::isfinite(t) ? QString::number(t) : QString(),
                               std::isfinite(rKor) && HasValue(rows.at(i)) ? FormatEngineering(rKor) : QString(), werdykt};
        csvCells[i] = QStringList{csvNumber(t), HasValue(rows.at(i)) ? csvNumber(rKor) : QString(), werdykt};
        colours[i] = WerdyktColor(z.Werdykt());
    }
    window->SetExtraColumns({tr("T [°C]"), tr("R(%1 °C)").arg(tRef), tr("Werdykt")}, cells, colours,
                            {tr("T [°C]"), tr("R(%1 °C) [Ohm]").arg(tRef), tr("Werdykt")}, csvCells);
    window->SetLimitLines({h.ustawienia.limity.dMin, h.ustawienia.limity.dMax});
}

void MainWindow::AddWerdyktToReport(TPomiarReport *report)
{
    if (!ArchiwumShown() || iWerdyktPomiar <= 0)
        return;
    // The record's current only when the record shown is this measurement's.
    const TDataPomiar *rec = pArchiwum->bShown ? &CurrentPomiar : nullptr;
    report->ocena = WerdyktReportFields(&pArchiwum->archive, iWerdyktPomiar, rec, WerdyktAutor());
}
