#include "visit/ui/wizytawindow.h"

#include "archive/tarchive.h"
#include "historia/historia.h"
#include "measurement/replacefile.h"
#include "verdict/verdict.h"
#include "visit/ui/protokolpdf.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kUuidRole = Qt::UserRole + 1;

// "Name; certificate" per line, as the technician types the people.
QVector<TOsoba> OsobyOf(const QString &text)
{
    QVector<TOsoba> out;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString name = line.section(QLatin1Char(';'), 0, 0).trimmed();
        if (!name.isEmpty())
            out.append(TOsoba{name, line.section(QLatin1Char(';'), 1).trimmed()});
    }
    return out;
}

QString OsobyText(const QVector<TOsoba> &osoby)
{
    QStringList lines;
    for (const TOsoba &o : osoby)
        lines << (o.qsUprawnienia.isEmpty() ? o.qsImie : o.qsImie + QStringLiteral("; ") + o.qsUprawnienia);
    return lines.join(QLatin1Char('\n'));
}

QLabel *PlainLabel(QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    return l;
}

} // namespace

TWizytaWindow::TWizytaWindow(const QString &archivePath, std::function<QString(bool)> autor, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , pArchive(new TArchive)
    , fnAutor(std::move(autor))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("TWizytaWindow"));
    BuildUi();
    Retranslate();
    if (pArchive->Open(archivePath) != ArchiveOk) {
        Fail(tr("Nie można otworzyć archiwum: %1").arg(pArchive->LastErrorText()));
        pArchive.reset();
        setEnabled(false);
        return;
    }
    FillList(QString());
}

TWizytaWindow::~TWizytaWindow() = default;

bool TWizytaWindow::IsOpen() const { return pArchive != nullptr; }

void TWizytaWindow::BuildUi()
{
    auto *split = new QSplitter(this);
    auto *left = new QWidget(split);
    auto *leftLayout = new QVBoxLayout(left);
    pList = new QListWidget(left);
    pList->setObjectName(QStringLiteral("lista"));
    leftLayout->addWidget(pList);
    auto *nowa = new QPushButton(left);
    nowa->setObjectName(QStringLiteral("nowa"));
    leftLayout->addWidget(nowa);

    auto *right = new QWidget(split);
    auto *rightLayout = new QVBoxLayout(right);
    pStatus = PlainLabel(right);
    pStatus->setObjectName(QStringLiteral("status"));
    rightLayout->addWidget(pStatus);

    pEditor = new QWidget(right);
    auto *form = new QFormLayout(pEditor);
    auto line = [&](const char *name) {
        auto *e = new QLineEdit(pEditor);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    pNumer = line("numer");
    pKlient = line("klient");
    pMiejsce = line("miejsce");
    pOd = new QDateEdit(pEditor);
    pDo = new QDateEdit(pEditor);
    for (QDateEdit *d : {pOd, pDo}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    pWykonali = new QPlainTextEdit(pEditor);
    pWykonali->setObjectName(QStringLiteral("wykonali"));
    pWykonali->setMaximumHeight(60);
    pSprawdzil = line("sprawdzil");
    pSprawdzilUpr = line("sprawdzilUpr");
    pTemp = line("temperatura");
    pWarunki = line("warunki");
    pUwagi = new QPlainTextEdit(pEditor);
    pUwagi->setObjectName(QStringLiteral("uwagi"));
    pUwagi->setMaximumHeight(60);
    for (QWidget *w : std::initializer_list<QWidget *>{pNumer, pKlient, pMiejsce, pOd, pDo, pWykonali, pSprawdzil,
                                                       pSprawdzilUpr, pTemp, pWarunki, pUwagi})
        form->addRow(QStringLiteral("-"), w);

    pPlan = new QTableWidget(0, 4, pEditor);
    pPlan->setObjectName(QStringLiteral("plan"));
    pPlan->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pPlan->setSelectionBehavior(QAbstractItemView::SelectRows);
    pPlan->horizontalHeader()->setStretchLastSection(true);
    pPlan->verticalHeader()->setVisible(false);
    form->addRow(pPlan);
    auto *planButtons = new QHBoxLayout;
    auto button = [&](const char *name, QLayout *to) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        to->addWidget(b);
        return b;
    };
    QPushButton *dodaj = button("dodaj", planButtons);
    QPushButton *usun = button("usun", planButtons);
    QPushButton *wybierz = button("wybierz", planButtons);
    form->addRow(planButtons);
    pPrzyrzad = PlainLabel(pEditor);
    pPrzyrzad->setObjectName(QStringLiteral("przyrzad"));
    form->addRow(pPrzyrzad);
    rightLayout->addWidget(pEditor);

    auto *actions = new QHBoxLayout;
    pSave = button("zapisz", actions);
    QPushButton *swiadectwo = button("swiadectwo", actions);
    pApprove = button("zatwierdz", actions);
    pRevision = button("rewizja", actions);
    rightLayout->addLayout(actions);
    auto *writers = new QHBoxLayout;
    QPushButton *pdf = button("pdf", writers);
    QPushButton *xlsx = button("xlsx", writers);
    QPushButton *csv = button("csv", writers);
    pWykresy = new QCheckBox(this);
    pWykresy->setObjectName(QStringLiteral("wykresy"));
    writers->addWidget(pWykresy);
    rightLayout->addLayout(writers);

    auto *top = new QVBoxLayout(this);
    top->addWidget(split);
    split->setStretchFactor(1, 3);
    split->setSizes({260, 840});
    resize(1100, 800);

    connect(pList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        TWizytaInfo info;
        if (item && pArchive && ReadWizyta(pArchive.get(), item->data(kUuidRole).toString(), &info))
            ShowVisit(info);
    });
    connect(nowa, &QPushButton::clicked, this, &TWizytaWindow::NewVisit);
    connect(dodaj, &QPushButton::clicked, this, &TWizytaWindow::AddObjects);
    connect(usun, &QPushButton::clicked, this, &TWizytaWindow::RemoveObjects);
    connect(wybierz, &QPushButton::clicked, this, &TWizytaWindow::ChooseMeasurements);
    connect(swiadectwo, &QPushButton::clicked, this, &TWizytaWindow::EditCertificate);
    connect(pSave, &QPushButton::clicked, this, [this]() { Save(); });
    connect(pdf, &QPushButton::clicked, this, [this]() { AskAndWrite(ProtokolFormatPdf); });
    connect(xlsx, &QPushButton::clicked, this, [this]() { AskAndWrite(ProtokolFormatXlsx); });
    connect(csv, &QPushButton::clicked, this, [this]() { AskAndWrite(ProtokolFormatCsv); });
    connect(pApprove, &QPushButton::clicked, this, &TWizytaWindow::Approve);
    connect(pRevision, &QPushButton::clicked, this, &TWizytaWindow::NewRevision);
}

void TWizytaWindow::Retranslate()
{
    setWindowTitle(tr("Wizyty i protokoły"));
    findChild<QPushButton *>(QStringLiteral("nowa"))->setText(tr("Nowa wizyta"));
    auto *form = qobject_cast<QFormLayout *>(pEditor->layout());
    const QString labels[] = {tr("Numer:"), tr("Zleceniodawca:"), tr("Miejsce:"), tr("Od:"), tr("Do:"),
                              tr("Wykonali:"), tr("Sprawdził:"), tr("Jego świadectwo kwalifikacyjne:"),
                              tr("Temperatura otoczenia [°C]:"), tr("Warunki:"), tr("Uwagi do protokołu:")};
    for (int i = 0; i < 11; ++i)
        if (auto *l = qobject_cast<QLabel *>(form->itemAt(i, QFormLayout::LabelRole)->widget()))
            l->setText(labels[i]);
    pWykonali->setPlaceholderText(tr("Imię i nazwisko; nr świadectwa kwalifikacyjnego (jedna osoba w wierszu)"));
    pPlan->setHorizontalHeaderLabels({tr("Obiekt"), tr("Pomiary"), tr("Stan"), tr("Ocena")});
    const struct { const char *name; QString text; } buttons[] = {
        {"dodaj", tr("Dodaj obiekty…")}, {"usun", tr("Usuń z planu")}, {"wybierz", tr("Wybierz pomiary…")},
        {"swiadectwo", tr("Świadectwo wzorcowania…")}, {"zapisz", tr("Zapisz")}, {"pdf", tr("Protokół PDF…")},
        {"xlsx", tr("Tabela XLSX…")}, {"csv", tr("Tabela CSV…")}, {"zatwierdz", tr("Zatwierdź")},
        {"rewizja", tr("Nowa rewizja")}};
    for (const auto &b : buttons)
        findChild<QPushButton *>(QLatin1String(b.name))->setText(b.text);
    pWykresy->setText(tr("PDF z załącznikiem wykresów"));
}

void TWizytaWindow::Fail(const QString &text) { QMessageBox::warning(this, windowTitle(), text); }

void TWizytaWindow::FillList(const QString &uuidToSelect)
{
    const QSignalBlocker block(pList);
    pList->clear();
    QListWidgetItem *select = nullptr;
    for (const TWizytaInfo &i : ReadWizyty(pArchive.get())) {
        QString text = i.wizyta.qsNumer + QStringLiteral(" — ") + i.wizyta.qsKlient;
        if (i.bZamrozona)
            text += tr(" (rev. %1 zatwierdzona)").arg(BiezacaRewizja(i));
        else if (i.iZatwierdzone > 0)
            text += tr(" (rev. %1 w przygotowaniu)").arg(BiezacaRewizja(i));
        if (i.bNumerZajety)
            text += tr(" — numer zajęty przez wcześniejszą wizytę: zmień go!");
        else if (i.bNumerPowtorzony)
            text += tr(" — numer powtórzony!");
        auto *item = new QListWidgetItem(text, pList);
        item->setData(kUuidRole, i.wizyta.qsUuid);
        if (i.wizyta.qsUuid == uuidToSelect)
            select = item;
    }
    if (!select && pList->count() > 0)
        select = pList->item(0);
    if (select) {
        pList->setCurrentItem(select);
        TWizytaInfo info;
        if (ReadWizyta(pArchive.get(), select->data(kUuidRole).toString(), &info))
            ShowVisit(info);
    } else {
        NewVisit();
    }
}

bool TWizytaWindow::Select(const QString &numer)
{
    for (int i = 0; i < pList->count(); ++i)
        if (pList->item(i)->text().startsWith(numer + QStringLiteral(" — "))) {
            pList->setCurrentRow(i);
            return true;
        }
    return false;
}

void TWizytaWindow::ShowVisit(const TWizytaInfo &info)
{
    current = info;
    bHasVisit = !info.wizyta.qsUuid.isEmpty();
    const TWizyta &w = info.wizyta;
    pNumer->setText(w.qsNumer);
    pKlient->setText(w.qsKlient);
    pMiejsce->setText(w.qsMiejsce);
    pOd->setDate(w.od.isValid() ? w.od : QDate::currentDate());
    pDo->setDate(w.doDnia.isValid() ? w.doDnia : pOd->date());
    pWykonali->setPlainText(OsobyText(w.wykonali));
    pSprawdzil->setText(w.sprawdzil.qsImie);
    pSprawdzilUpr->setText(w.sprawdzil.qsUprawnienia);
    pTemp->setText(std::isfinite(w.dTOtoczenia) ? QString::number(w.dTOtoczenia) : QString());
    pWarunki->setText(w.qsWarunki);
    pUwagi->setPlainText(w.qsUwagi);
    SetLocked(info.bZamrozona);
    ShowState();
}

void TWizytaWindow::SetLocked(bool locked)
{
    for (QWidget *w : pEditor->findChildren<QWidget *>())
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QDateEdit *>(w)
            || qobject_cast<QPushButton *>(w))
            w->setEnabled(!locked);
    pSave->setEnabled(!locked);
    pApprove->setEnabled(!locked && bHasVisit);
    pRevision->setEnabled(locked);
    // An approved protocol has the appendix it was approved with.
    pWykresy->setEnabled(!locked);
    QString status;
    if (!bHasVisit)
        status = tr("Nowa wizyta (jeszcze nie zapisana).");
    else if (current.bZamrozona)
        status = tr("Protokół rev. %1 zatwierdzony: nie można go zmienić. Zmiany po „Nowa rewizja” tworzą rev. %2.")
                     .arg(BiezacaRewizja(current))
                     .arg(current.iZatwierdzone);
    else
        status = tr("Projekt protokołu rev. %1.").arg(BiezacaRewizja(current));
    if (current.bNumerZajety)
        status += QLatin1Char(' ') + tr("Ten numer nadano wcześniej innej wizycie (zapisanej osobno przed "
                                        "synchronizacją): nadaj tej wizycie inny numer, zanim ją zapiszesz lub zatwierdzisz.");
    else if (current.bNumerPowtorzony)
        status += QLatin1Char(' ') + tr("Inna wizyta ma ten sam numer (zapisany osobno przed synchronizacją).");
    pStatus->setText(status);
}

void TWizytaWindow::ShowState()
{
    const TWizytaStan stan = Dopasuj(pArchive.get(), Edited(), true);
    pPlan->setRowCount(stan.obiekty.size());
    meters.clear();
    for (int r = 0; r < stan.obiekty.size(); ++r) {
        const TWizytaObiekt &o = stan.obiekty.at(r);
        QString stanText = o.pomiary.isEmpty() ? tr("brak pomiaru")
                           : o.pomiary.size() > 1 ? tr("zmierzony %1 razy").arg(o.pomiary.size())
                                                  : tr("zmierzony");
        if (o.bWybrane)
            stanText += tr(" (wybrane ręcznie)");
        QStringList times;
        for (const TWizytaPomiar &p : o.pomiary) {
            times << HistoriaCzasText(p.czas);
            if (!p.qsMiernik.isEmpty() && !meters.contains(p.qsMiernik))
                meters << p.qsMiernik;
        }
        const int werdykt = o.pomiary.isEmpty() ? WerdyktBrak : o.pomiary.last().iWerdykt;
        const QString cells[] = {o.qsNazwa, times.join(QStringLiteral(", ")), stanText,
                                 werdykt == WerdyktBrak ? QString() : WerdyktText(werdykt)};
        for (int c = 0; c < 4; ++c)
            pPlan->setItem(r, c, new QTableWidgetItem(cells[c]));
        if (o.pomiary.isEmpty() || o.pomiary.size() > 1)
            pPlan->item(r, 2)->setBackground(QColor(255, 236, 179));
        if (werdykt == WerdyktZly)
            pPlan->item(r, 3)->setBackground(QColor(255, 205, 210));
    }
    pPlan->resizeColumnsToContents();
    QStringList przyrzad;
    const QDate day = pDo->date();
    for (const QString &serial : meters) {
        const TSwiadectwo s = ReadSwiadectwo(pArchive.get(), serial);
        QString t = s.IsSet() ? tr("ZYM-5 nr %1: świadectwo wzorcowania %2, ważne do %3")
                                    .arg(serial, s.qsNumer, s.wazneDo.toString(Qt::ISODate))
                              : tr("ZYM-5 nr %1: brak świadectwa wzorcowania").arg(serial);
        if (SwiadectwoWygasle(s, day))
            t += tr(" — NIEWAŻNE w dniu wizyty!");
        przyrzad << t;
    }
    if (!stan.brakujaceWybrane.isEmpty())
        przyrzad << tr("Wybranych pomiarów nie ma w archiwum: %1.").arg(stan.brakujaceWybrane.size());
    pPrzyrzad->setText(przyrzad.isEmpty() ? tr("Przyrząd: jeszcze żaden pomiar.") : przyrzad.join(QLatin1Char('\n')));
}

TWizyta TWizytaWindow::Edited() const
{
    TWizyta w = current.wizyta;
    w.qsNumer = pNumer->text().trimmed();
    w.qsKlient = pKlient->text();
    w.qsMiejsce = pMiejsce->text();
    w.od = pOd->date();
    w.doDnia = pDo->date();
    w.wykonali = OsobyOf(pWykonali->toPlainText());
    w.sprawdzil = TOsoba{pSprawdzil->text().trimmed(), pSprawdzilUpr->text().trimmed()};
    bool ok = false;
    const double t = QString(pTemp->text()).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    w.dTOtoczenia = ok ? t : qQNaN();
    w.qsWarunki = pWarunki->text();
    w.qsUwagi = pUwagi->toPlainText();
    return w;
}

bool TWizytaWindow::Save()
{
    if (!pArchive)
        return false;
    TWizyta w = Edited();
    const int r = SaveWizyta(pArchive.get(), &w);
    if (r != ArchiveOk) {
        const QString reason = WizytaResultText(r);
        Fail(tr("Nie zapisano wizyty: %1").arg(reason.isEmpty() ? pArchive->LastErrorText() : reason));
        return false;
    }
    FillList(w.qsUuid);
    return true;
}

void TWizytaWindow::NewVisit()
{
    TWizytaInfo info;
    info.wizyta = WizytaZPlanu(QString(), {});
    const QSignalBlocker block(pList);
    pList->clearSelection();
    ShowVisit(info);
    pNumer->setFocus();
}

void TWizytaWindow::NewRevision()
{
    // The approved revision stays as it is; what is saved from here on is the next one.
    current.bZamrozona = false;
    SetLocked(false);
    pStatus->setText(tr("Zmiany zapisane teraz tworzą rev. %1; rev. %2 pozostaje zatwierdzona.")
                         .arg(current.iZatwierdzone)
                         .arg(current.iZatwierdzone - 1));
}

void TWizytaWindow::AddToPlan(const QStringList &names)
{
    TWizyta w = Edited();
    for (const QString &n : names)
        if (!n.trimmed().isEmpty() && !w.plan.contains(n.trimmed()))
            w.plan << n.trimmed();
    current.wizyta = w;
    ShowState();
}

void TWizytaWindow::AddObjects()
{
    QStringList names;
    for (const TArchiveObiekt &o : pArchive->Obiekty())
        names << o.qsNazwa;
    bool ok = false;
    // Editable: an object may be planned before it was ever measured.
    const QString name = QInputDialog::getItem(this, windowTitle(), tr("Obiekt (z archiwum lub wpisany):"), names, 0,
                                               true, &ok);
    if (ok)
        AddToPlan({name});
}

void TWizytaWindow::RemoveObjects()
{
    TWizyta w = Edited();
    QList<int> rows;
    for (const QModelIndex &i : pPlan->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int r : rows)
        if (r < w.plan.size()) {
            w.wybor.remove(w.plan.at(r));
            w.plan.removeAt(r);
        }
    current.wizyta = w;
    ShowState();
}

void TWizytaWindow::ChooseMeasurements()
{
    const int row = pPlan->currentRow();
    TWizyta w = Edited();
    if (row < 0 || row >= w.plan.size())
        return;
    const QString name = w.plan.at(row);
    QVector<THistoriaRow> rows;
    const qint64 objectId = pArchive->ObjectId(name);
    if (objectId == 0 || !pArchive->ReadHistoria(objectId, &rows)) {
        Fail(tr("Obiekt „%1” nie ma pomiarów w archiwum.").arg(name));
        return;
    }
    const TWizytaStan stan = Dopasuj(pArchive.get(), w);
    QStringList chosen;
    for (const TWizytaPomiar &p : stan.obiekty.at(row).pomiary)
        chosen << p.qsSubject;
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Pomiary obiektu %1").arg(name));
    auto *layout = new QVBoxLayout(&dialog);
    QVector<QCheckBox *> boxes;
    QStringList subjects;
    for (const THistoriaRow &r : rows) {
        const QString subject = pArchive->PomiarSubject(r.id);
        auto *box = new QCheckBox(HistoriaCzasText(r.czas) + QStringLiteral("   ") + HistoriaRText(r), &dialog);
        box->setChecked(chosen.contains(subject));
        layout->addWidget(box);
        boxes << box;
        subjects << subject;
    }
    auto *byDates = new QCheckBox(tr("Według dat wizyty"), &dialog);
    byDates->setChecked(!w.wybor.contains(name));
    layout->addWidget(byDates);
    auto *bb = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(bb, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(bb, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(bb);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (byDates->isChecked()) {
        w.wybor.remove(name);
    } else {
        QStringList picked;
        for (int i = 0; i < boxes.size(); ++i)
            if (boxes.at(i)->isChecked())
                picked << subjects.at(i);
        w.wybor.insert(name, picked);
    }
    current.wizyta = w;
    ShowState();
}

void TWizytaWindow::EditCertificate()
{
    bool ok = false;
    const QString serial = meters.size() == 1
                               ? meters.first()
                               : QInputDialog::getItem(this, windowTitle(), tr("Numer fabryczny miernika:"), meters, 0,
                                                       true, &ok);
    if (serial.isEmpty() || (meters.size() != 1 && !ok))
        return;
    const TSwiadectwo old = ReadSwiadectwo(pArchive.get(), serial);
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Świadectwo wzorcowania miernika %1").arg(serial));
    auto *form = new QFormLayout(&dialog);
    auto *numer = new QLineEdit(old.qsNumer, &dialog);
    auto *date = new QDateEdit(old.wazneDo.isValid() ? old.wazneDo : QDate::currentDate().addYears(1), &dialog);
    date->setCalendarPopup(true);
    date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    form->addRow(tr("Numer świadectwa:"), numer);
    form->addRow(tr("Ważne do:"), date);
    auto *bb = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(bb, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(bb, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(bb);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (SaveSwiadectwo(pArchive.get(), serial, TSwiadectwo{numer->text().trimmed(), date->date()}) != ArchiveOk)
        Fail(tr("Nie zapisano świadectwa: %1").arg(pArchive->LastErrorText()));
    ShowState();
}

bool TWizytaWindow::WriteProtokol(int format, const QString &fileName)
{
    // A draft's protocol is the saved visit's, the one the command line writes.
    if (!current.bZamrozona && !Save())
        return false;
    QString reason;
    const QByteArray bytes = ProtokolBytes(pArchive.get(), current, -1, format, &reason, pWykresy->isChecked());
    if (bytes.isEmpty() || ReplaceWholeFile(fileName, bytes, false, &reason) != ReplaceFileOk) {
        Fail(tr("Nie zapisano protokołu: %1").arg(reason));
        return false;
    }
    return true;
}

void TWizytaWindow::AskAndWrite(int format)
{
    const QString filters[] = {tr("Dokument PDF (*.pdf)"), tr("Skoroszyt XLSX (*.xlsx)"), tr("CSV z kropką (*.csv)")};
    const QString suffixes[] = {QStringLiteral(".pdf"), QStringLiteral(".xlsx"), QStringLiteral(".csv")};
    QString name = QStringLiteral("Protokol_") + QString(pNumer->text()).replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString file = QFileDialog::getSaveFileName(this, windowTitle(), name + suffixes[format], filters[format]);
    if (!file.isEmpty())
        WriteProtokol(format, file);
}

void TWizytaWindow::Approve()
{
    if (!Save())
        return;
    const QString autor = fnAutor ? fnAutor(true) : QString();
    if (autor.isEmpty()) {
        Fail(tr("Zatwierdzić może tylko osoba podpisana imieniem (Ustawienia)."));
        return;
    }
    if (QMessageBox::question(this, windowTitle(),
                              tr("Zatwierdzić protokół nr %1 (rev. %2) jako %3? Zatwierdzonego protokołu nie można "
                                 "zmienić; późniejsze zmiany tworzą nową rewizję.")
                                  .arg(current.wizyta.qsNumer)
                                  .arg(BiezacaRewizja(current))
                                  .arg(autor))
        != QMessageBox::Yes)
        return;
    pArchive->SetAutor(autor);
    QString reason;
    if (ZatwierdzProtokol(pArchive.get(), current.wizyta, &reason, pWykresy->isChecked()) != ArchiveOk) {
        Fail(tr("Nie zatwierdzono protokołu: %1").arg(reason));
        return;
    }
    FillList(current.wizyta.qsUuid);
}
