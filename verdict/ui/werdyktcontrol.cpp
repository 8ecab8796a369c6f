// The main window's side of verdicts: the verdict line in the result area
// for an archived measurement, and the object table's context menu that
// reaches an object's limits and the groups. The windows themselves are
// in werdyktwindows.h; what they write goes to the archive as entries.

#include "verdict/ui/werdyktcontrol.h"

#include "archive/historiameter.h"
#include "archive/ui/archivecontrol.h"
#include "archive/ui/archiveshown.h"
#include "common/ui/messages.h"
#include "database/shownpomiar.h"
#include "historia/ui/dialoghistoria.h"
#include "historia/ui/historiawindows.h"
#include "measurement/engformat.h"
#include "report/reporttext.h"
#include "settings/zymini.h"
#include "verdict/historiawerdykty.h"
#include "verdict/ui/werdyktlist.h"
#include "verdict/ui/werdyktwindows.h"
#include "verdict/verdictreport.h"

#include <QAbstractProxyModel>
#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QRect>
#include <QMenu>
#include <QModelIndex>
#include <QTableView>
#include <QToolBar>
#include <QToolTip>

#include <cmath>

#include <qcustomplot.h>

namespace {
const char kLabelWerdykt[] = "label_Werdykt";
// Of a reason typed by a person, the line and its tool tip show this much
// at most: a page of text would make the tool tip take seconds to lay out.
constexpr int kPowodLine = 200;
constexpr int kPowodToolTip = 1000;

// `text` cut to `most` characters, an ellipsis telling that it was.
QString Cut(const QString &text, int most)
{
    return text.size() <= most ? text : text.left(most) + QChar(0x2026);
}
} // namespace

TWerdyktControl::TWerdyktControl(const TWerdyktWindow &window, const TArchiveControl &archiwum,
                                 const THistoriaWindows &historie, const TDataPomiar &current,
                                 const QString &iniFileName)
    : w(window)
    , Archiwum(archiwum)
    , Historie(historie)
    , CurrentPomiar(current)
    , qsIniFileName(iniFileName)
{
    if (w.shown)
        connect(w.shown, &TShownChanges::Changed, this, [this](const TShownPomiar &shown) { FollowShown(shown); });
    // The line is laid out for the result area's width.
    w.wynik->installEventFilter(this);
}

void TWerdyktControl::FollowShown(const TShownPomiar &shown)
{
    // A row read is judged by its resistance, with or without its record.
    if (Archiwum.Shown() && shown.pomiarId > 0)
        ShowLine(shown.pomiarId);
    else
        HideLine();
}

bool TWerdyktControl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Resize && event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    auto *label = w.wynik->findChild<QLabel *>(QLatin1String(kLabelWerdykt));
    if (watched == w.wynik && event->type() == QEvent::Resize && label && label->isVisible() && iWerdyktPomiar > 0)
        ShowLine(iWerdyktPomiar);
    // A tool tip would take a reason such as "<img src=...>" for markup.
    if (watched == label && event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), PlainToolTip(label->toolTip()), label);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TWerdyktControl::Refresh()
{
    if (!Archiwum.Shown())
        return;
    if (iWerdyktPomiar > 0)
        ShowLine(iWerdyktPomiar);
    for (DialogHistoria *historia : Historie.All())
        ShowHistoria(historia);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *grupy = qobject_cast<DialogGrupy *>(window))
            grupy->Reread();
    }
}

QString TWerdyktControl::Autor() const
{
    return TIni(qsIniFileName).Text(TIniKey::Autor);
}

void TWerdyktControl::AddActions(QMenu *menu, const QModelIndex &objectIndex)
{
    if (!Archiwum.Shown() || !objectIndex.isValid())
        return;
    const QString name = objectIndex.sibling(objectIndex.row(), 0).data(Qt::DisplayRole).toString();
    menu->addSeparator();
    QAction *settings = menu->addAction(tr("Ocena obiektu…"));
    settings->setObjectName(QStringLiteral("actionOcenaObiektu"));
    connect(settings, &QAction::triggered, this, [this, name]() { OpenObiekt(name); });
    QAction *groups = menu->addAction(tr("Grupy obiektów…"));
    groups->setObjectName(QStringLiteral("actionGrupyObiektow"));
    connect(groups, &QAction::triggered, this, [this, name]() {
        auto *window = new DialogGrupy(Archiwum.View()->archive.Path(), Autor(), name, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        connect(window, &DialogGrupy::Saved, this, &TWerdyktControl::Refresh);
        w.keep(window);
        window->show();
    });
}

void TWerdyktControl::OpenObiekt(const QString &name)
{
    if (!Archiwum.Shown())
        return;
    {
        auto *window = new DialogObiektWerdykt(Archiwum.View()->archive.Path(), Autor(), name, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        w.keep(window);
        // Its limits judge its sisters too, in their histories and groups.
        connect(window, &DialogObiektWerdykt::Saved, this, &TWerdyktControl::Refresh);
        window->show();
    }
}

void TWerdyktControl::HideLine()
{
    iWerdyktPomiar = 0;
    if (auto *label = w.wynik->findChild<QLabel *>(QLatin1String(kLabelWerdykt)))
        label->hide();
}

void TWerdyktControl::ShowLine(qint64 id)
{
    if (!Archiwum.Shown())
        return;
    auto *label = w.wynik->findChild<QLabel *>(QLatin1String(kLabelWerdykt));
    if (!label) {
        // Made with the first archived measurement: the form's own labels
        // stay as they are, this one sits in the free line above the comment.
        label = new QLabel(w.wynik);
        label->setObjectName(QLatin1String(kLabelWerdykt));
        label->setTextFormat(Qt::RichText);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        label->installEventFilter(this);
        connect(label, &QLabel::linkActivated, this, [this]() {
            if (!Archiwum.Shown() || iWerdyktPomiar <= 0)
                return;
            auto *window = new DialogPomiarWerdykt(Archiwum.View()->archive.Path(), Autor(), iWerdyktPomiar, w.window);
            window->setAttribute(Qt::WA_DeleteOnClose);
            const TIni ini(qsIniFileName);
            window->SetPlausibleT(ini.Real(TIniKey::WerdyktTMin), ini.Real(TIniKey::WerdyktTMax));
            connect(window, &DialogPomiarWerdykt::Saved, this, &TWerdyktControl::Refresh);
            window->open();
        });
    }
    iWerdyktPomiar = id;
    TArchive &archive = Archiwum.View()->archive;
    archive.SetAutor(Autor());
    TWerdyktZapis z;
    WerdyktOf(&archive, id, &z);
    const double t = ReadTemperatura(&archive, id);
    const double tRef = z.bStored ? z.material.dTRef : ReadUstawienia(&archive, ObiektOfPomiar(&archive, id)).material.dTRef;
    TWerdyktZapis tip = z;
    tip.qsPowod = Cut(z.qsPowod, kPowodToolTip);
    label->setToolTip(WerdyktLineText(tip, t, tRef));
    // Under the time, as wide as the box lets it: the window's layout may
    // have moved the form's labels since the last time.
    const QRect czas = w.czas->geometry();
    label->setGeometry(czas.left(), czas.bottom() + 2, w.wynik->width() - czas.left() - 10, czas.height() + 2);
    label->setFont(w.czas->font());
    // The command always fits: what gives way is the reason, and only
    // when there is no reason left to shorten, the end of the line.
    const QString command = tr("zmień…");
    const QFontMetrics metrics(label->font());
    const int room = label->width() - metrics.horizontalAdvance(QStringLiteral("  ") + command) - 4;
    const QChar mark(0xFFFC); // where the reason goes in the line
    TWerdyktZapis shown = z;
    shown.qsPowod = mark;
    const QString pattern = WerdyktLineText(shown, t, tRef, false);
    const int at = pattern.indexOf(mark);
    const QString before = pattern.left(qMax(at, 0)), after = at < 0 ? pattern : pattern.mid(at + 1);
    const QString reason = Cut(z.qsPowod, kPowodLine).simplified();
    QString line = at < 0 ? pattern : before + reason + after;
    const int left = room - metrics.horizontalAdvance(before + after);
    if (at >= 0 && metrics.horizontalAdvance(line) > room) {
        // Too narrow for the whole wording: the reason keeps what room
        // there is, after the overriding verdict in the history's words.
        line = left >= 8 * metrics.averageCharWidth()
            ? before + metrics.elidedText(reason, Qt::ElideRight, left) + after
            : WerdyktText(z.iReczny) + tr(" (ręcznie: %1)").arg(reason);
    }
    line = metrics.elidedText(line, Qt::ElideRight, qMax(room, 0));
    // Plain text inside the markup: a reason typed by a person is shown as typed.
    label->setText(line.toHtmlEscaped() + QLatin1String(" &nbsp;<a href=\"#\">") + command.toHtmlEscaped()
                   + QLatin1String("</a>"));
    const QColor colour = WerdyktColor(z.Werdykt());
    label->setStyleSheet(colour.isValid() ? QStringLiteral("background-color: %1;").arg(colour.name()) : QString());
    label->show();
}

void TWerdyktControl::Retranslate()
{
    // The lists' verdict columns, in the new language.
    for (QTableView *view : w.window->findChildren<QTableView *>()) {
        for (QAbstractItemModel *m = view->model(); m;) {
            if (auto *kolumna = qobject_cast<TWerdyktKolumna *>(m))
                kolumna->Retranslate();
            auto *proxy = qobject_cast<QAbstractProxyModel *>(m);
            m = proxy ? proxy->sourceModel() : nullptr;
        }
    }
    // The line in the new language, when it shows a measurement.
    auto *label = w.wynik->findChild<QLabel *>(QLatin1String(kLabelWerdykt));
    if (label && label->isVisible() && iWerdyktPomiar > 0)
        ShowLine(iWerdyktPomiar);
    // The history windows' own actions follow their window; this one was
    // added from here, in this window's context.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!qobject_cast<DialogHistoria *>(window))
            continue;
        if (auto *action = window->findChild<QAction *>(QStringLiteral("actionOcenaObiektu")))
            action->setText(tr("Ocena obiektu…"));
        // Its verdict columns and the points' names in the chart's legend.
        if (Archiwum.Shown() && window->findChild<QAction *>(QStringLiteral("actionOcenaObiektu")))
            ShowHistoria(static_cast<DialogHistoria *>(window));
    }
}

void TWerdyktControl::ShowHistoria(DialogHistoria *window)
{
    // Only the archive keeps limits and verdicts.
    if (!Archiwum.Shown())
        return;
    TArchive &archive = Archiwum.View()->archive;
    const QString name = window->ObjectName();
    // The object's limits from its history too, once per window.
    auto *bar = window->findChild<QToolBar *>(QStringLiteral("tB_Historia"));
    if (bar && !bar->findChild<QAction *>(QStringLiteral("actionOcenaObiektu"))) {
        bar->addSeparator();
        QAction *settings = bar->addAction(tr("Ocena obiektu…"));
        settings->setObjectName(QStringLiteral("actionOcenaObiektu"));
        settings->setParent(bar);
        connect(settings, &QAction::triggered, this, [this, name]() { OpenObiekt(name); });
    }
    QVector<THistoriaRow> rows;
    QStringList meters;
    if (!archive.ReadHistoria(window->ObjectId(), &rows, &meters))
        return;
    // The report names the meters' hardware and firmware the archive keeps.
    const THistoriaMeter meter = HistoriaMeter(&archive, rows, meters);
    window->SetMeter(meter.serial, meter.hw, meter.firmware);
    const THistoriaWerdykty h = HistoriaWerdykty(&archive, name, window->ObjectId(), rows);
    if (!h.bAny)
        return;
    QVector<QColor> colours(rows.size());
    for (int i = 0; i < rows.size(); ++i)
        colours[i] = WerdyktColor(h.werdykty.at(i).Werdykt());
    window->SetExtraColumns(h.Headers(), h.Cells(), colours, h.CsvHeaders(), h.CsvCells(QLatin1Char(',')));
    ColourHistoriaPoints(window->findChild<QCustomPlot *>(QStringLiteral("plotHistoria")), rows, h);
    window->SetLimitLines({h.ustawienia.limity.dMin, h.ustawienia.limity.dMax});
}

QAbstractItemModel *TWerdyktControl::WithVerdicts(QAbstractItemModel *model, qint64 objectId)
{
    if (!model || !Archiwum.Shown())
        return model;
    TArchive &archive = Archiwum.View()->archive;
    QVector<THistoriaRow> rows;
    if (!archive.ReadHistoria(objectId, &rows) || rows.isEmpty())
        return model;
    const THistoriaWerdykty h = HistoriaWerdykty(&archive, ObiektOfPomiar(&archive, rows.first().id), objectId, rows);
    if (!h.bAny)
        return model;
    QHash<QString, TWerdyktKolumna::TCell> cells;
    for (int i = 0; i < rows.size(); ++i)
        cells.insert(QString::number(rows.at(i).id), {true, h.werdykty.at(i), QString(), WerdyktBrak});
    return new TWerdyktKolumna(model, cells);
}

QAbstractItemModel *TWerdyktControl::WithObjectVerdicts(QAbstractItemModel *model)
{
    if (!model || !Archiwum.Shown())
        return model;
    TArchive &archive = Archiwum.View()->archive;
    // Each object's newest measurement judged as its history judges it;
    // only objects with limits have one to judge.
    QHash<QString, int> latest;
    QHash<QString, TWerdyktZapis> zapisy;
    for (int r = 0; r < model->rowCount(); ++r) {
        const QString name = model->index(r, 0).data().toString();
        if (zapisy.contains(name) || !ReadUstawienia(&archive, name).limity.HasAny())
            continue;
        const qint64 objectId = archive.ObjectId(name);
        QVector<THistoriaRow> rows;
        if (objectId == 0 || !archive.ReadHistoria(objectId, &rows) || rows.isEmpty())
            continue;
        rows = {rows.last()};
        const THistoriaWerdykty h = HistoriaWerdykty(&archive, name, objectId, rows);
        zapisy.insert(name, h.werdykty.value(0));
        latest.insert(name, h.werdykty.value(0).Werdykt());
    }
    if (zapisy.isEmpty())
        return model;
    QHash<QString, TWerdyktKolumna::TCell> cells;
    for (auto it = zapisy.constBegin(); it != zapisy.constEnd(); ++it)
        cells[it.key()] = {true, it.value(), QString(), WerdyktBrak};
    // A group is as bad as its worst member: a member that looks fine says so.
    for (const TGrupa &g : ReadGrupy(&archive)) {
        QVector<int> members;
        for (const QString &name : g.obiekty)
            members << latest.value(name, WerdyktBrak);
        const int worst = WorstWerdykt(members);
        for (const QString &name : g.obiekty) {
            if (worst > latest.value(name, WerdyktBrak)) {
                cells[name].qsGrupa = g.qsNazwa;
                cells[name].iGrupa = worst;
            }
        }
    }
    return new TWerdyktKolumna(model, cells);
}

void TWerdyktControl::AddToReport(TPomiarReport *report) const
{
    if (!Archiwum.Shown() || iWerdyktPomiar <= 0)
        return;
    // The record's current only when the record shown is this measurement's.
    const TDataPomiar *rec = Archiwum.View()->bShown ? &CurrentPomiar : nullptr;
    report->ocena = WerdyktReportFields(&Archiwum.View()->archive, iWerdyktPomiar, rec, Autor());
}
