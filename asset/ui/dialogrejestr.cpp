#include "asset/ui/dialogrejestr.h"

#include "asset/assettable.h"
#include "common/ui/messages.h"
#include "historia/ui/historiachart.h"
#include "measurement/engformat.h"
#include "measurement/replacefile.h"
#include "report/ui/reportdoc.h"
#include "report/xlsxbook.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <cmath>

namespace {

constexpr int kUuidRole = Qt::UserRole + 1;

QString DayOrOpen(qint64 t)
{
    return t == 0 ? QStringLiteral("…") : AssetDayText(t);
}

QTableWidget *NewTable(QWidget *parent)
{
    auto *t = new QTableWidget(parent);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    // A path kept narrow loses its start, not the point's own name at its
    // end (on one line: a wrapped text is cut after its first line).
    t->setWordWrap(false);
    t->setTextElideMode(Qt::ElideLeft);
    return t;
}

void SetRow(QTableWidget *t, int row, const QStringList &cells, const QString &uuid)
{
    for (int c = 0; c < cells.size(); ++c) {
        auto *item = new QTableWidgetItem(cells[c]);
        item->setData(kUuidRole, uuid);
        item->setToolTip(PlainToolTip(cells[c]));
        t->setItem(row, c, item);
    }
}

// Every column as wide as its texts, except the path, which is kept to a
// width that leaves the dates in view on a small screen (its whole text is
// in the tool tip, and its column can be widened).
void FitColumns(QTableWidget *t, int pathColumn)
{
    // A stretched last column would be cut to what is left of the width
    // (the limit's words lost) instead of scrolling.
    t->horizontalHeader()->setStretchLastSection(false);
    t->resizeColumnsToContents();
    t->setColumnWidth(pathColumn, qMin(t->columnWidth(pathColumn), 360));
}

// The due list as it is shown, printed and saved for people.
QVector<QStringList> DueRows(const TAssetRegister &reg, const QVector<TAssetTermin> &due)
{
    QVector<QStringList> rows;
    for (const TAssetTermin &d : due) {
        const TAssetNode *site = reg.Node(d.qsLokalizacja);
        rows.append({site ? site->qsNazwa : QString(), d.qsSciezka, TabelaTerminow(reg, {d}).wiersze[0][3],
                     QString::number(d.iInterwal), AssetDayText(d.iOstatni),
                     d.nastepny.isValid() ? d.nastepny.toString(QStringLiteral("yyyy-MM-dd")) : QString(),
                     AssetStanText(d.iStan)});
    }
    return rows;
}

QStringList DueHeaders()
{
    return {QObject::tr("Lokalizacja"), QObject::tr("Punkt"), QObject::tr("Nazwy w mierniku"),
            QObject::tr("Interwał [mies.]"), QObject::tr("Ostatni ważny pomiar"), QObject::tr("Termin"),
            QObject::tr("Stan")};
}

} // namespace

DialogRejestr::DialogRejestr(const QString &archivePath, const QString &autor, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogRejestr"));
    setWindowTitle(tr("Rejestr obiektów"));
    resize(900, 560);
    auto *layout = new QVBoxLayout(this);
    tabs = new QTabWidget(this);
    layout->addWidget(tabs);
    status = new QLabel(this);
    status->setTextFormat(Qt::PlainText);
    layout->addWidget(status);

    // ---- the tree
    auto *treePage = new QWidget(tabs);
    auto *treeLayout = new QHBoxLayout(treePage);
    tree = new QTreeWidget(treePage);
    tree->setObjectName(QStringLiteral("treeRejestr"));
    tree->setHeaderLabels({tr("Nazwa"), tr("Poziom"), tr("Interwał [mies.]"), tr("Nazwy w mierniku")});
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    treeLayout->addWidget(tree, 1);
    auto *buttons = new QVBoxLayout;
    const auto button = [&](const QString &text, void (DialogRejestr::*slot)()) {
        auto *b = new QPushButton(text, treePage);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button(tr("Dodaj…"), &DialogRejestr::AddNode);
    button(tr("Zmień nazwę…"), &DialogRejestr::RenameNode);
    button(tr("Przenieś…"), &DialogRejestr::MoveNode);
    button(tr("Wycofaj"), &DialogRejestr::RetireNode);
    button(tr("Interwał badań…"), &DialogRejestr::EditInterval);
    button(tr("Tabliczka i uwagi…"), &DialogRejestr::EditDetails);
    button(tr("Przypisz nazwę z miernika…"), &DialogRejestr::MapName);
    button(tr("Sugestie przypisań…"), &DialogRejestr::ConfirmSuggestions);
    auto *history = new QPushButton(tr("Historia punktu…"), treePage);
    connect(history, &QPushButton::clicked, this, [this]() { OpenHistoria(SelectedUuid()); });
    buttons->addWidget(history);
    buttons->addStretch();
    treeLayout->addLayout(buttons);
    tabs->addTab(treePage, tr("Drzewo"));

    // ---- due
    auto *duePage = new QWidget(tabs);
    auto *dueLayout = new QVBoxLayout(duePage);
    auto *dueBar = new QHBoxLayout;
    dueBar->addWidget(new QLabel(tr("Miesiąc:"), duePage));
    month = new QDateEdit(QDate::currentDate(), duePage);
    month->setDisplayFormat(QStringLiteral("MM.yyyy"));
    dueBar->addWidget(month);
    dueBar->addStretch();
    auto *csv = new QPushButton(tr("Zapisz CSV…"), duePage);
    auto *pdf = new QPushButton(tr("Zapisz PDF…"), duePage);
    auto *xlsx = new QPushButton(tr("Zapisz XLSX…"), duePage);
    dueBar->addWidget(csv);
    dueBar->addWidget(xlsx);
    dueBar->addWidget(pdf);
    dueLayout->addLayout(dueBar);
    dueTable = NewTable(duePage);
    dueTable->setObjectName(QStringLiteral("tableDoWykonania"));
    dueLayout->addWidget(dueTable);
    tabs->addTab(duePage, tr("Do wykonania"));
    connect(month, &QDateEdit::dateChanged, this, &DialogRejestr::FillDue);
    connect(csv, &QPushButton::clicked, this, &DialogRejestr::SaveDueCsv);
    connect(pdf, &QPushButton::clicked, this, &DialogRejestr::SaveDuePdf);
    connect(xlsx, &QPushButton::clicked, this, &DialogRejestr::SaveDueXlsx);

    // ---- watch
    watchTable = NewTable(tabs);
    watchTable->setObjectName(QStringLiteral("tableDoObserwacji"));
    tabs->addTab(watchTable, tr("Do obserwacji"));
    const auto open = [this](QTableWidgetItem *item) { OpenHistoria(item->data(kUuidRole).toString()); };
    connect(watchTable, &QTableWidget::itemDoubleClicked, this, open);
    connect(dueTable, &QTableWidget::itemDoubleClicked, this, open);

    if (archive.Open(archivePath) != ArchiveOk) {
        status->setText(tr("Nie można otworzyć archiwum: %1").arg(archive.LastErrorText()));
        tabs->setEnabled(false);
        return;
    }
    archive.SetAutor(autor);
    Reload();
}

DialogRejestr::~DialogRejestr() = default;

void DialogRejestr::Fail(const QString &text)
{
    ShowProblem(QMessageBox::Warning, windowTitle(), text, this);
}

void DialogRejestr::Reload()
{
    QString error;
    if (!ReadRegister(&archive, &reg, &error))
        status->setText(error);
    FillTree();
    FillDue();
    FillWatch();
}

void DialogRejestr::FillTree()
{
    const QString selected = SelectedUuid();
    tree->clear();
    std::function<void(QTreeWidgetItem *, const QString &)> add = [&](QTreeWidgetItem *parent, const QString &uuid) {
        for (const TAssetNode *n : reg.Children(uuid)) {
            QStringList names;
            for (const TAssetRule &rule : reg.RulesOf(n->qsUuid))
                names << rule.qsNazwa + (rule.qsMiernik.isEmpty() ? QString() : QStringLiteral(" @") + rule.qsMiernik);
            QString name = n->qsNazwa;
            if (n->bWycofany)
                name += tr(" (wycofany)");
            auto *item = new QTreeWidgetItem({name, AssetTypText(n->iTyp),
                                              n->iInterwalMies > 0 ? QString::number(n->iInterwalMies) : QString(),
                                              names.join(QStringLiteral("; "))});
            item->setData(0, kUuidRole, n->qsUuid);
            if (!n->qsUwagi.isEmpty())
                item->setToolTip(0, PlainToolTip(n->qsUwagi));
            if (parent)
                parent->addChild(item);
            else
                tree->addTopLevelItem(item);
            if (n->qsUuid == selected)
                tree->setCurrentItem(item);
            add(item, n->qsUuid);
        }
    };
    add(nullptr, QString());
    tree->expandAll();
    for (int c = 1; c < tree->columnCount(); ++c)
        tree->resizeColumnToContents(c);
}

void DialogRejestr::FillDue()
{
    QString error;
    if (!ReadTerminy(&archive, reg, month->date(), QDate::currentDate(), &due, &error))
        status->setText(error);
    const QVector<QStringList> rows = DueRows(reg, due);
    dueTable->clear();
    dueTable->setColumnCount(DueHeaders().size());
    dueTable->setHorizontalHeaderLabels(DueHeaders());
    dueTable->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        SetRow(dueTable, r, rows[r], due[r].qsPunkt);
        if (due[r].iStan != AssetWTerminie)
            dueTable->item(r, 6)->setForeground(Qt::red);
    }
    FitColumns(dueTable, 1);
}

void DialogRejestr::FillWatch()
{
    QString error;
    if (!ReadObserwacje(&archive, reg, &watch, &error))
        status->setText(error);
    const QStringList headers = {tr("Punkt"), tr("Osiągnie limit"), tr("Stan"), tr("Pomiary"), tr("R dziś"),
                                 tr("Trend"), tr("Limit")};
    watchTable->clear();
    watchTable->setColumnCount(headers.size());
    watchTable->setHorizontalHeaderLabels(headers);
    watchTable->setRowCount(watch.size());
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (int r = 0; r < watch.size(); ++r) {
        const TObserwacja &o = watch[r].o;
        const bool cross = o.iStan == ObserwacjaPrzeciecie;
        QStringList cells = {watch[r].qsSciezka,
                             cross ? AssetDayText(o.przeciecie) + QStringLiteral(" (") + DayOrOpen(o.najwczesniej)
                                         + QStringLiteral(" – ") + DayOrOpen(o.najpozniej) + QLatin1Char(')')
                                   : QString(),
                             cross && o.bPrzekroczona ? ObserwacjaStanText(o.iStan) + tr(" (już przekroczony)")
                                                      : ObserwacjaStanText(o.iStan)};
        if (o.trend.bOk) {
            cells << QString::number(o.trend.iN) + (o.bKorekcja ? QString() : QStringLiteral(" *"))
                  << FormatEngineering(o.trend.At(now))
                  << FormatWithUncertainty(o.trend.dB * 365.25, o.trend.dSigmaB * 365.25, tr("Ω/rok"));
        } else {
            cells << QString() << QString() << QString();
        }
        cells << (cross ? GranicaText(o.iGranica) + QStringLiteral(" ") + FormatEngineering(o.dGranica) : QString());
        SetRow(watchTable, r, cells, watch[r].qsPunkt);
        // The measured values' trend is marked, its reason told on the mark.
        if (o.trend.bOk && !o.bKorekcja)
            watchTable->item(r, 3)->setToolTip(tr(" (bez korekcji temperatury)").trimmed());
    }
    FitColumns(watchTable, 0);
}

QString DialogRejestr::SelectedUuid() const
{
    const QTreeWidgetItem *item = tree->currentItem();
    return item ? item->data(0, kUuidRole).toString() : QString();
}

void DialogRejestr::Save(TAssetNode node)
{
    int problem = AssetProblemNone;
    const int result = SaveNode(&archive, reg, &node, &problem);
    if (result == AssetRefused)
        Fail(AssetProblemText(problem));
    else if (result != ArchiveOk)
        Fail(archive.LastErrorText());
    Reload();
    // The node saved is the one shown selected.
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, kUuidRole).toString() == node.qsUuid)
            tree->setCurrentItem(*it);
}

void DialogRejestr::AddNode()
{
    const TAssetNode *parent = reg.Node(SelectedUuid());
    QStringList levels;
    for (int typ = parent ? parent->iTyp + 1 : AssetKlient; typ <= (parent ? AssetPunkt : AssetKlient); ++typ)
        levels << AssetTypText(typ);
    if (levels.isEmpty())
        return Fail(AssetProblemText(AssetProblemParentLevel));
    bool ok = false;
    const QString level = QInputDialog::getItem(this, tr("Dodaj"), tr("Poziom:"), levels, levels.size() - 1, false, &ok);
    if (!ok)
        return;
    const QString name = QInputDialog::getText(this, tr("Dodaj"), tr("Nazwa:"), QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    TAssetNode node;
    node.iTyp = (parent ? parent->iTyp + 1 : AssetKlient) + levels.indexOf(level);
    node.qsNazwa = name.trimmed();
    node.qsRodzic = parent ? parent->qsUuid : QString();
    Save(node);
}

void DialogRejestr::RenameNode()
{
    const TAssetNode *n = reg.Node(SelectedUuid());
    if (!n)
        return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("Zmień nazwę"), tr("Nazwa:"), QLineEdit::Normal, n->qsNazwa, &ok);
    if (!ok)
        return;
    TAssetNode node = *n;
    node.qsNazwa = name.trimmed();
    Save(node);
}

void DialogRejestr::MoveNode()
{
    const TAssetNode *n = reg.Node(SelectedUuid());
    if (!n || n->iTyp == AssetKlient)
        return;
    QStringList paths, uuids;
    for (const TAssetNode &p : reg.Nodes())
        if (p.iTyp < n->iTyp && p.qsUuid != n->qsRodzic && !reg.Retired(p.qsUuid)) {
            paths << reg.Path(p.qsUuid);
            uuids << p.qsUuid;
        }
    if (paths.isEmpty())
        return;
    bool ok = false;
    const QString path = QInputDialog::getItem(this, tr("Przenieś"), tr("Nowe miejsce:"), paths, 0, false, &ok);
    if (!ok)
        return;
    TAssetNode node = *n;
    node.qsRodzic = uuids[paths.indexOf(path)];
    Save(node);
}

void DialogRejestr::RetireNode()
{
    const TAssetNode *n = reg.Node(SelectedUuid());
    if (!n)
        return;
    TAssetNode node = *n;
    node.bWycofany = !node.bWycofany;
    if (node.bWycofany
        && !AskTakNie(QMessageBox::Question, tr("Wycofaj"),
                      tr("Wycofać „%1” z list terminów i obserwacji? Jego historia zostaje.").arg(n->qsNazwa), this))
        return;
    Save(node);
}

void DialogRejestr::EditInterval()
{
    const TAssetNode *n = reg.Node(SelectedUuid());
    if (!n)
        return;
    bool ok = false;
    const int months = QInputDialog::getInt(this, tr("Interwał badań"),
                                            tr("Miesiące między badaniami (0: jak wyżej w drzewie):"),
                                            n->iInterwalMies, 0, 240, 1, &ok);
    if (!ok)
        return;
    TAssetNode node = *n;
    node.iInterwalMies = months;
    Save(node);
}

void DialogRejestr::EditDetails()
{
    const TAssetNode *n = reg.Node(SelectedUuid());
    if (!n)
        return;
    QDialog d(this);
    d.setWindowTitle(tr("Tabliczka i uwagi"));
    auto *form = new QFormLayout(&d);
    QVector<QPair<QString, QLineEdit *>> fields;
    if (n->iTyp == AssetAparat) {
        QStringList keys = AssetTabliczkaKeys();
        for (const QString &key : n->tabliczka.keys())
            if (!keys.contains(key))
                keys << key;
        for (const QString &key : keys) {
            auto *edit = new QLineEdit(n->tabliczka.value(key).toString(), &d);
            form->addRow(AssetTabliczkaText(key) + QLatin1Char(':'), edit);
            fields.append({key, edit});
        }
    }
    auto *repairs = new QLineEdit(&d);
    QStringList days;
    for (const QDate &day : n->naprawy)
        days << day.toString(QStringLiteral("yyyy-MM-dd"));
    repairs->setText(days.join(QStringLiteral(", ")));
    form->addRow(tr("Naprawy (RRRR-MM-DD, …):"), repairs);
    auto *notes = new QPlainTextEdit(n->qsUwagi, &d);
    form->addRow(tr("Uwagi:"), notes);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(box);
    if (d.exec() != QDialog::Accepted)
        return;
    TAssetNode node = *n;
    for (const auto &f : fields) {
        if (f.second->text().trimmed().isEmpty())
            node.tabliczka.remove(f.first);
        else
            node.tabliczka.insert(f.first, f.second->text().trimmed());
    }
    node.naprawy.clear();
    for (const QString &text : repairs->text().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QDate day = QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
        if (!day.isValid())
            return Fail(tr("To nie jest data: %1").arg(text.trimmed()));
        node.naprawy.append(day);
    }
    std::sort(node.naprawy.begin(), node.naprawy.end());
    node.qsUwagi = notes->toPlainText();
    Save(node);
}

void DialogRejestr::MapName()
{
    const TAssetNode *n = reg.Node(SelectedUuid());
    if (!n || n->iTyp != AssetPunkt)
        return Fail(tr("Wybierz punkt pomiarowy."));
    QVector<TAssetNazwa> names;
    QString error;
    if (!ReadNazwy(&archive, &names, true, &error))
        return Fail(error);
    QStringList items;
    for (const TAssetNazwa &name : names)
        items << name.qsNazwa + QStringLiteral(" @") + name.qsMiernik;
    items.sort();
    items.removeDuplicates();
    if (items.isEmpty())
        return;
    bool ok = false;
    const QString item = QInputDialog::getItem(this, tr("Przypisz nazwę z miernika"), tr("Nazwa @ miernik:"), items, 0,
                                               false, &ok);
    if (!ok)
        return;
    const int at = item.lastIndexOf(QStringLiteral(" @"));
    const QString fromText = QInputDialog::getText(
        this, tr("Przypisz nazwę z miernika"), tr("Od dnia (RRRR-MM-DD; puste: od początku):"), QLineEdit::Normal,
        QString(), &ok);
    if (!ok)
        return;
    TAssetRule rule;
    rule.qsNazwa = item.left(at);
    rule.qsMiernik = item.mid(at + 2);
    rule.od = QDate::fromString(fromText.trimmed(), QStringLiteral("yyyy-MM-dd"));
    if (!fromText.trimmed().isEmpty() && !rule.od.isValid())
        return Fail(tr("To nie jest data: %1").arg(fromText.trimmed()));
    rule.qsPunkt = n->qsUuid;
    if (SaveRule(&archive, &rule) != ArchiveOk)
        Fail(archive.LastErrorText());
    Reload();
}

void DialogRejestr::ConfirmSuggestions()
{
    QVector<TAssetNazwa> names;
    QString error;
    if (!ReadNazwy(&archive, &names, true, &error))
        return Fail(error);
    const QVector<TAssetSugestia> list = Sugestie(reg, names);
    if (list.isEmpty()) {
        status->setText(tr("Brak sugestii: każda nazwa jest przypisana albo nie przypomina żadnej przypisanej."));
        return;
    }
    for (const TAssetSugestia &s : list) {
        const QString text = tr("„%1” z miernika %2 przypomina „%3”.\nPrzypisać do punktu %4?")
                                 .arg(s.qsNazwa, s.qsMiernik, s.qsJak, reg.Path(s.qsPunkt));
        if (!AskTakNie(QMessageBox::Question, tr("Sugestie przypisań"), text, this))
            continue;
        TAssetRule rule;
        rule.qsNazwa = s.qsNazwa;
        rule.qsMiernik = s.qsMiernik;
        rule.qsPunkt = s.qsPunkt;
        if (SaveRule(&archive, &rule) != ArchiveOk)
            return Fail(archive.LastErrorText());
    }
    Reload();
}

void DialogRejestr::SaveDueCsv()
{
    const QString file = QFileDialog::getSaveFileName(this, tr("Zapisz CSV…"), QString(), tr("CSV (*.csv)"));
    if (file.isEmpty())
        return;
    QString error;
    const QByteArray bytes = AssetCsv(TabelaTerminow(reg, due), true).toUtf8();
    if (ReplaceWholeFile(file, bytes, false, &error) != ReplaceFileOk)
        Fail(error);
}

void DialogRejestr::SaveDueXlsx()
{
    const QString file = QFileDialog::getSaveFileName(this, tr("Zapisz XLSX…"), QString(), tr("Skoroszyt Excel (*.xlsx)"));
    if (file.isEmpty())
        return;
    QString error;
    if (AssetXlsxBook(TabelaTerminow(reg, due), true, archive.Autor(), QDate::currentDate()).Save(file, &error)
        != ReplaceFileOk)
        Fail(error);
}

void DialogRejestr::SaveDuePdf()
{
    const QString file = QFileDialog::getSaveFileName(this, tr("Zapisz PDF…"), QString(), tr("PDF (*.pdf)"));
    if (file.isEmpty())
        return;
    TReportDoc doc;
    const QString title = tr("Do wykonania");
    doc.SetDocumentTitle(title);
    doc.AddTitle(title, tr("Miesiąc %1, stan na %2")
                            .arg(month->date().toString(QStringLiteral("MM.yyyy")),
                                 QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
    doc.AddTable(DueHeaders(), DueRows(reg, due));
    QString error;
    if (SaveReport(doc, file, &error) != ReplaceFileOk)
        Fail(error);
}

QDialog *DialogRejestr::OpenHistoria(const QString &punkt)
{
    const TAssetNode *n = reg.Node(punkt);
    if (!n || n->iTyp != AssetPunkt)
        return nullptr;
    QVector<TAssetHistoriaRow> rows;
    QString error;
    if (!ReadPunktHistoria(&archive, reg, punkt, &rows, &error)) {
        Fail(error);
        return nullptr;
    }
    const TAssetObserwacja w = ObserwacjaPunktu(&archive, reg, punkt, rows);
    auto *d = new QDialog(this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->setObjectName(QStringLiteral("DialogPunktHistoria"));
    d->setWindowTitle(tr("Historia punktu: %1").arg(w.qsSciezka));
    d->resize(860, 600);
    auto *layout = new QVBoxLayout(d);
    auto *plot = new QCustomPlot(d);
    plot->setObjectName(QStringLiteral("plotPunkt"));
    plot->setMinimumHeight(260);
    layout->addWidget(plot, 3);
    QVector<THistoriaRow> plain;
    for (const TAssetHistoriaRow &r : rows)
        plain << r.row;
    const THistoriaChart chart = PlotHistoria(plot, plain, -1);
    const TObserwacja &o = w.o;
    if (o.trend.bOk && !plain.isEmpty()) {
        THistoriaTrend t;
        t.t0 = o.trend.t0;
        t.a = o.trend.dA;
        t.bPerDay = o.trend.dB;
        t.from = plain.first().czas;
        t.to = plain.last().czas;
        t.limit = o.iStan == ObserwacjaPrzeciecie ? o.dGranica : kBrak;
        t.cross = o.iStan == ObserwacjaPrzeciecie ? o.przeciecie : 0;
        t.earliest = o.najwczesniej;
        t.latest = o.najpozniej;
        PlotHistoriaTrend(plot, chart.scaleExponent, t);
    }
    plot->replot();
    auto *summary = new QLabel(d);
    summary->setTextFormat(Qt::PlainText);
    // A long verdict breaks into lines instead of widening the window past a small screen.
    summary->setWordWrap(true);
    QString text = ObserwacjaStanText(o.iStan);
    if (o.trend.bOk)
        text += QStringLiteral("; ") + tr("trend %1").arg(FormatWithUncertainty(o.trend.dB * 365.25, o.trend.dSigmaB * 365.25, tr("Ω/rok")))
            + (o.bKorekcja ? QString() : tr(" (bez korekcji temperatury)"));
    if (o.iStan == ObserwacjaPrzeciecie)
        text += QStringLiteral("; ") + tr("%1 %2 osiągnie %3 (%4 – %5)")
                                           .arg(GranicaText(o.iGranica), FormatEngineering(o.dGranica),
                                                AssetDayText(o.przeciecie), DayOrOpen(o.najwczesniej),
                                                DayOrOpen(o.najpozniej));
    summary->setText(text);
    layout->addWidget(summary);
    auto *table = NewTable(d);
    table->setColumnCount(4);
    table->setHorizontalHeaderLabels({tr("Data i czas"), tr("R"), tr("Nazwa w mierniku"), tr("Miernik")});
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r)
        SetRow(table, r, {HistoriaCzasText(rows[r].row.czas), HistoriaRText(rows[r].row), rows[r].qsNazwa, rows[r].qsMiernik},
               punkt);
    table->resizeColumnsToContents();
    layout->addWidget(table, 2);
    d->show();
    return d;
}
