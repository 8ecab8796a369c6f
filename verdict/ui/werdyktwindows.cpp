#include "verdict/ui/werdyktwindows.h"

#include "common/ui/messages.h"

#include "historia/historia.h"
#include "measurement/engformat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <cmath>

namespace {

const double kUnits[] = {1e-6, 1e-3, 1.0};

QComboBox *UnitBox(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->addItems({QStringLiteral("µΩ"), QStringLiteral("mΩ"), QStringLiteral("Ω")});
    box->setCurrentIndex(1);
    return box;
}

// A number as typed, with a point or a comma; NaN for an empty field.
double Typed(const QLineEdit *edit, bool *ok)
{
    QString text = edit->text().trimmed();
    if (text.isEmpty())
        return kBrak;
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool good = false;
    const double v = text.toDouble(&good);
    if (!good || !std::isfinite(v))
        *ok = false;
    return good ? v : kBrak;
}

QString Shown(double v)
{
    return std::isfinite(v) ? QString::number(v, 'g', 10) : QString();
}

// Puts ohms into a field and its unit box, in the unit it reads best in.
void ShowOhms(QLineEdit *edit, QComboBox *unit, double ohms)
{
    if (!std::isfinite(ohms)) {
        edit->clear();
        return;
    }
    const int exp = EngExponent(ohms);
    const int index = exp <= -6 ? 0 : exp <= -3 ? 1 : 2;
    unit->setCurrentIndex(index);
    edit->setText(QString::number(ohms / kUnits[index], 'g', 10));
}

double TypedOhms(const QLineEdit *edit, const QComboBox *unit, bool *ok)
{
    const double v = Typed(edit, ok);
    return std::isfinite(v) ? v * kUnits[unit->currentIndex()] : kBrak;
}

QComboBox *RaisedBox(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->addItem(WerdyktText(WerdyktDoSprawdzenia), int(WerdyktDoSprawdzenia));
    box->addItem(WerdyktText(WerdyktZly), int(WerdyktZly));
    return box;
}

void SelectData(QComboBox *box, int value)
{
    const int i = box->findData(value);
    if (i >= 0)
        box->setCurrentIndex(i);
}

bool OpenOrTell(TArchive *archive, const QString &path, const QString &autor, QWidget *window)
{
    archive->SetAutor(autor);
    if (archive->Open(path) == ArchiveOk)
        return true;
    ShowProblem(QMessageBox::Warning, QObject::tr("Błąd!"),
                QObject::tr("Nie można otworzyć archiwum:\n%1").arg(archive->LastErrorText()), window);
    return false;
}

QString Percent(double v)
{
    return std::isfinite(v) ? QStringLiteral("%1%2 %").arg(v > 0 ? QStringLiteral("+") : QString()).arg(v, 0, 'f', 2)
                            : QString();
}

} // namespace

QString ObiektOfPomiar(TArchive *archive, qint64 id)
{
    TPomiarRow row;
    TArchivePomiarInfo info;
    return archive->ReadRow(id, &row, &info) ? info.qsObiekt : QString();
}

QColor WerdyktColor(int werdykt)
{
    // Three steps of lightness as well as three hues (grey levels about
    // 230, 197 and 154): printed in grey, or seen without telling red from
    // green, they still differ, and black text stays readable on each.
    switch (werdykt) {
    case WerdyktDobry:
        return QColor(215, 240, 215);
    case WerdyktDoSprawdzenia:
        return QColor(245, 195, 80);
    case WerdyktZly:
        return QColor(235, 120, 120);
    default:
        return QColor();
    }
}

namespace {
const char kVerdictGraph[] = "zymVerdict"; // the verdict a history chart's graph of points shows
} // namespace

// A shape per verdict tells the points apart in a grey print and without
// telling red from green; each graph is named by its verdict's word for
// the report's legend.
void ColourHistoriaPoints(QCustomPlot *plot, const QVector<THistoriaRow> &rows, const THistoriaWerdykty &h)
{
    if (!plot)
        return;
    QCPGraph *graphR = nullptr;
    for (int g = plot->graphCount() - 1; g >= 0; --g) {
        QCPGraph *graph = plot->graph(g);
        if (graph->property(kVerdictGraph).isValid())
            plot->removeGraph(graph);
        else if (graph->name() == QLatin1String("R"))
            graphR = graph;
    }
    if (!graphR)
        return;
    struct TStyle
    {
        int werdykt;
        QCPScatterStyle::ScatterShape shape;
        QColor pen, brush;
    };
    static const TStyle kStyles[] = {
        {WerdyktDobry, QCPScatterStyle::ssCircle, QColor(0, 110, 50), QColor(120, 200, 140)},
        {WerdyktDoSprawdzenia, QCPScatterStyle::ssDiamond, QColor(150, 90, 0), QColor(245, 195, 80)},
        {WerdyktZly, QCPScatterStyle::ssSquare, QColor(120, 0, 0), QColor(200, 40, 40)}};
    for (const TStyle &style : kStyles) {
        // The value graph's points are the rows with a value, in table order.
        QVector<double> keys, values;
        int row = 0;
        for (auto it = graphR->data()->constBegin(); it != graphR->data()->constEnd(); ++it, ++row) {
            while (row < rows.size() && !HasValue(rows.at(row)))
                ++row;
            if (row < rows.size() && h.werdykty.value(row).Werdykt() == style.werdykt) {
                keys << it->key;
                values << it->value;
            }
        }
        if (keys.isEmpty())
            continue;
        QCPGraph *graph = plot->addGraph(graphR->keyAxis(), graphR->valueAxis());
        graph->setProperty(kVerdictGraph, style.werdykt);
        graph->setLineStyle(QCPGraph::lsNone);
        graph->setScatterStyle(QCPScatterStyle(style.shape, QPen(style.pen, 1), QBrush(style.brush), 8));
        graph->setSelectable(QCP::stNone);
        graph->setName(WerdyktText(style.werdykt));
        graph->setData(keys, values, true);
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}


QString WerdyktLineText(const TWerdyktZapis &z, double t, double tRef, bool notes)
{
    QString line;
    if (z.iReczny != WerdyktBrak) {
        line = QObject::tr("Werdykt: %1 (zmieniony ręcznie: %2; automatyczny: %3)")
                   .arg(WerdyktText(z.iReczny), z.qsPowod,
                        z.ocena.iWerdykt == WerdyktBrak ? QObject::tr("brak") : WerdyktText(z.ocena.iWerdykt));
    } else if (z.ocena.iWerdykt != WerdyktBrak) {
        line = QObject::tr("Werdykt: %1").arg(WerdyktText(z.ocena.iWerdykt));
    } else {
        line = QObject::tr("Werdykt: brak (bez limitów)");
    }
    if (std::isfinite(t)) {
        line += QObject::tr(", T = %1 °C").arg(t);
        if (std::isfinite(z.ocena.dRKor))
            line += QObject::tr(", R(%1 °C) = %2").arg(tRef).arg(FormatEngineering(z.ocena.dRKor));
    }
    for (int u : notes ? z.ocena.uwagi : QVector<int>())
        line += QLatin1String("; ") + UwagaText(u);
    return line;
}

// ---------------------------------------------------------------- object settings

QString DialogObiektWerdykt::ImpossibleLimits(const TLimity &l, const TOdniesienie &ref, const TMaterial &m)
{
    // Each of these would judge every measurement the same way, whatever it is.
    if (l.dMin < 0 || l.dMax <= 0 || ref.dR <= 0)
        return tr("Rezystancja w limitach i w odniesieniu musi być większa od zera.");
    if (l.dMin > l.dMax)
        return tr("Dolna granica zakresu R jest większa od górnej.");
    if (l.dZmiana < 0 || l.dGrupa < 0)
        return tr("Największa zmiana i największe odchylenie nie mogą być ujemne.");
    if (m.dK + ref.dT <= 0)
        return tr("Temperatura odniesienia %1 °C nie jest wyższa od -K (%2 °C): w niej nie ma rezystancji.")
            .arg(ref.dT)
            .arg(-m.dK);
    return QString();
}

DialogObiektWerdykt::DialogObiektWerdykt(const QString &archivePath, const QString &autor, const QString &obiekt,
                                         QWidget *parent)
    : QDialog(parent), qsObiekt(obiekt)
{
    setObjectName(QStringLiteral("DialogObiektWerdykt"));
    setWindowTitle(tr("Ocena obiektu: %1").arg(obiekt));
    auto *top = new QVBoxLayout(this);

    auto *gMat = new QGroupBox(tr("Materiał"), this);
    auto *fMat = new QFormLayout(gMat);
    cbMaterial = new QComboBox(gMat);
    cbMaterial->addItem(tr("Miedź (235)"), QStringLiteral("miedz"));
    cbMaterial->addItem(tr("Aluminium (225)"), QStringLiteral("aluminium"));
    cbMaterial->addItem(tr("Inny"), QStringLiteral("inny"));
    leK = new QLineEdit(gMat);
    leTRef = new QLineEdit(gMat);
    fMat->addRow(tr("Materiał:"), cbMaterial);
    fMat->addRow(tr("Stała K:"), leK);
    fMat->addRow(tr("Temperatura odniesienia [°C]:"), leTRef);
    connect(cbMaterial, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
        if (i == 0)
            leK->setText(QStringLiteral("235"));
        else if (i == 1)
            leK->setText(QStringLiteral("225"));
        leK->setEnabled(i == 2);
    });
    top->addWidget(gMat);

    auto *gRef = new QGroupBox(tr("Odniesienie"), this);
    auto *fRef = new QFormLayout(gRef);
    cbRefRodzaj = new QComboBox(gRef);
    cbRefRodzaj->addItems({tr("Brak"), tr("Jeden z pomiarów"), tr("Wpisana wartość")});
    cbRefPomiar = new QComboBox(gRef);
    auto *refValue = new QHBoxLayout;
    leRefR = new QLineEdit(gRef);
    cbRefUnit = UnitBox(gRef);
    refValue->addWidget(leRefR);
    refValue->addWidget(cbRefUnit);
    leRefT = new QLineEdit(gRef);
    leRefT->setPlaceholderText(tr("nieznana"));
    fRef->addRow(tr("Odniesienie:"), cbRefRodzaj);
    fRef->addRow(tr("Pomiar:"), cbRefPomiar);
    fRef->addRow(tr("R:"), refValue);
    fRef->addRow(tr("Temperatura [°C]:"), leRefT);
    connect(cbRefRodzaj, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int i) {
        cbRefPomiar->setEnabled(i == 1);
        leRefR->setEnabled(i == 2);
        cbRefUnit->setEnabled(i == 2);
        leRefT->setEnabled(i == 2);
    });
    top->addWidget(gRef);

    auto *gLim = new QGroupBox(tr("Limity (puste pole: bez limitu)"), this);
    auto *fLim = new QFormLayout(gLim);
    // Long labels over their fields rather than beside them where the screen is narrow.
    fLim->setRowWrapPolicy(QFormLayout::WrapLongRows);
    auto *band = new QHBoxLayout;
    leMin = new QLineEdit(gLim);
    cbMinUnit = UnitBox(gLim);
    leMax = new QLineEdit(gLim);
    cbMaxUnit = UnitBox(gLim);
    cbPasmoW = RaisedBox(gLim);
    band->addWidget(new QLabel(tr("od"), gLim));
    band->addWidget(leMin);
    band->addWidget(cbMinUnit);
    band->addWidget(new QLabel(tr("do"), gLim));
    band->addWidget(leMax);
    band->addWidget(cbMaxUnit);
    band->addWidget(cbPasmoW);
    auto *change = new QHBoxLayout;
    leZmiana = new QLineEdit(gLim);
    cbZmianaW = RaisedBox(gLim);
    change->addWidget(leZmiana);
    change->addWidget(cbZmianaW);
    auto *group = new QHBoxLayout;
    leGrupa = new QLineEdit(gLim);
    cbGrupaOd = new QComboBox(gLim);
    cbGrupaOd->addItems({tr("od najniższego"), tr("od średniej")});
    cbGrupaW = RaisedBox(gLim);
    group->addWidget(leGrupa);
    group->addWidget(cbGrupaOd);
    group->addWidget(cbGrupaW);
    fLim->addRow(tr("Zakres R:"), band);
    fLim->addRow(tr("Największa zmiana względem odniesienia [%]:"), change);
    fLim->addRow(tr("Największe odchylenie w grupie [%]:"), group);
    top->addWidget(gLim);
    // A group of long names wraps: on one line it would widen the window
    // past a small screen, and in the form above it would be cut.
    lGrupa = new QLabel(this);
    lGrupa->setTextFormat(Qt::PlainText);
    lGrupa->setWordWrap(true);
    top->addWidget(lGrupa);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *save = buttons->addButton(tr("Zapisz"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("pB_Zapisz"));
    buttons->addButton(tr("Zamknij"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this]() {
        if (Save())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    top->addWidget(buttons);

    if (OpenOrTell(&archive, archivePath, autor, this))
        Load();
}

void DialogObiektWerdykt::Load()
{
    const TObiektUstawienia u = ReadUstawienia(&archive, qsObiekt);
    const int mat = cbMaterial->findData(u.material.qsRodzaj);
    cbMaterial->setCurrentIndex(mat < 0 ? 2 : mat);
    leK->setText(Shown(u.material.dK));
    leK->setEnabled(cbMaterial->currentIndex() == 2);
    leTRef->setText(Shown(u.material.dTRef));

    QVector<THistoriaRow> rows;
    const qint64 objectId = archive.ObjectId(qsObiekt);
    archive.ReadHistoria(objectId, &rows);
    int chosen = -1;
    for (const THistoriaRow &row : rows) {
        if (!HasValue(row))
            continue;
        const QString subject = archive.PomiarSubject(row.id);
        if (subject == u.odniesienie.qsPomiar && !subject.isEmpty())
            chosen = pomiary.size();
        pomiary.append(row.id);
        cbRefPomiar->addItem(HistoriaCzasText(row.czas) + QLatin1String("   ") + FormatEngineering(row.R), row.R);
    }
    if (!u.odniesienie.IsSet()) {
        cbRefRodzaj->setCurrentIndex(0);
    } else if (!u.odniesienie.qsPomiar.isEmpty() && chosen >= 0) {
        cbRefRodzaj->setCurrentIndex(1);
        cbRefPomiar->setCurrentIndex(chosen);
    } else {
        cbRefRodzaj->setCurrentIndex(2);
        ShowOhms(leRefR, cbRefUnit, u.odniesienie.dR);
        leRefT->setText(Shown(u.odniesienie.dT));
    }
    emit cbRefRodzaj->currentIndexChanged(cbRefRodzaj->currentIndex());

    const TLimity &l = u.limity;
    ShowOhms(leMin, cbMinUnit, l.dMin);
    ShowOhms(leMax, cbMaxUnit, l.dMax);
    SelectData(cbPasmoW, l.iPasmoWerdykt);
    leZmiana->setText(Shown(l.dZmiana));
    SelectData(cbZmianaW, l.iZmianaWerdykt);
    leGrupa->setText(Shown(l.dGrupa));
    cbGrupaOd->setCurrentIndex(l.bGrupaOdSredniej ? 1 : 0);
    SelectData(cbGrupaW, l.iGrupaWerdykt);
    const QVector<TGrupa> grupy = ReadGrupy(&archive);
    const TGrupa *g = GrupaOf(grupy, qsObiekt);
    lGrupa->setText(g ? tr("Grupa: %1 (%2)").arg(g->qsNazwa, g->obiekty.join(QLatin1String(", ")))
                      : tr("Obiekt nie należy do żadnej grupy."));
}

bool DialogObiektWerdykt::Save()
{
    if (!archive.IsOpen())
        return false;
    bool ok = true;
    TMaterial m;
    m.qsRodzaj = cbMaterial->currentData().toString();
    m.dK = Typed(leK, &ok);
    m.dTRef = Typed(leTRef, &ok);
    TOdniesienie ref;
    if (cbRefRodzaj->currentIndex() == 1 && cbRefPomiar->currentIndex() >= 0) {
        const qint64 id = pomiary.at(cbRefPomiar->currentIndex());
        ref.qsPomiar = archive.PomiarSubject(id);
        ref.dR = cbRefPomiar->currentData().toDouble();
        ref.dT = ReadTemperatura(&archive, id);
    } else if (cbRefRodzaj->currentIndex() == 2) {
        ref.dR = TypedOhms(leRefR, cbRefUnit, &ok);
        ref.dT = Typed(leRefT, &ok);
    }
    TLimity l;
    l.dMin = TypedOhms(leMin, cbMinUnit, &ok);
    l.dMax = TypedOhms(leMax, cbMaxUnit, &ok);
    l.iPasmoWerdykt = cbPasmoW->currentData().toInt();
    l.dZmiana = Typed(leZmiana, &ok);
    l.iZmianaWerdykt = cbZmianaW->currentData().toInt();
    l.dGrupa = Typed(leGrupa, &ok);
    l.iGrupaWerdykt = cbGrupaW->currentData().toInt();
    l.bGrupaOdSredniej = cbGrupaOd->currentIndex() == 1;
    if (!ok || !std::isfinite(m.dK) || !std::isfinite(m.dTRef) || m.dK + m.dTRef <= 0) {
        ShowProblem(QMessageBox::Warning, tr("Błąd!"),
                    tr("Wpisz liczby (z kropką lub przecinkiem) albo zostaw pole puste."), this);
        return false;
    }
    const QString impossible = ImpossibleLimits(l, ref, m);
    if (!impossible.isEmpty()) {
        ShowProblem(QMessageBox::Warning, tr("Błąd!"), impossible, this);
        return false;
    }
    for (int result : {SaveMaterial(&archive, qsObiekt, m), SaveOdniesienie(&archive, qsObiekt, ref),
                       SaveLimity(&archive, qsObiekt, l)}) {
        if (result != ArchiveOk) {
            ShowProblem(QMessageBox::Warning, tr("Błąd!"), archive.LastErrorText(), this);
            return false;
        }
    }
    emit Saved();
    return true;
}

// ---------------------------------------------------------------- one measurement

DialogPomiarWerdykt::DialogPomiarWerdykt(const QString &archivePath, const QString &autor, qint64 pomiarId,
                                         QWidget *parent)
    : QDialog(parent), iPomiarId(pomiarId)
{
    setObjectName(QStringLiteral("DialogPomiarWerdykt"));
    setWindowTitle(tr("Temperatura i werdykt pomiaru"));
    auto *form = new QFormLayout(this);
    leT = new QLineEdit(this);
    leT->setPlaceholderText(tr("nieznana"));
    cbReczny = new QComboBox(this);
    cbReczny->addItem(tr("automatyczny"), int(WerdyktBrak));
    for (int w : {WerdyktDobry, WerdyktDoSprawdzenia, WerdyktZly})
        cbReczny->addItem(WerdyktText(w), w);
    lePowod = new QLineEdit(this);
    chJudge = new QCheckBox(tr("Oceń ponownie według obecnych limitów"), this);
    form->addRow(tr("Temperatura uzwojenia [°C]:"), leT);
    form->addRow(tr("Werdykt:"), cbReczny);
    form->addRow(tr("Powód zmiany:"), lePowod);
    form->addRow(chJudge);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this]() {
        if (Save())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    if (OpenOrTell(&archive, archivePath, autor, this)) {
        leT->setText(Shown(ReadTemperatura(&archive, iPomiarId)));
        TWerdyktZapis z;
        WerdyktOf(&archive, iPomiarId, &z);
        SelectData(cbReczny, z.iReczny);
        lePowod->setText(z.qsPowod);
    }
}

void DialogPomiarWerdykt::SetPlausibleT(double low, double high)
{
    dTMin = low;
    dTMax = high;
}

bool DialogPomiarWerdykt::Save()
{
    if (!archive.IsOpen())
        return false;
    bool ok = true;
    const double t = Typed(leT, &ok);
    const int reczny = cbReczny->currentData().toInt();
    if (!ok) {
        ShowProblem(QMessageBox::Warning, tr("Błąd!"),
                    tr("Wpisz liczby (z kropką lub przecinkiem) albo zostaw pole puste."), this);
        return false;
    }
    if (reczny != WerdyktBrak && lePowod->text().trimmed().isEmpty()) {
        ShowProblem(QMessageBox::Warning, tr("Błąd!"), tr("Podaj powód zmiany werdyktu."), this);
        return false;
    }
    if (std::isfinite(t)) {
        // At -K the metal has no resistance left: a correction there is no number.
        const TMaterial m = ReadUstawienia(&archive, ObiektOfPomiar(&archive, iPomiarId)).material;
        if (m.dK + t <= 0) {
            ShowProblem(QMessageBox::Warning, tr("Błąd!"),
                        tr("Temperatura %1 °C nie jest wyższa od -K materiału (%2 °C): w niej nie ma rezystancji.")
                            .arg(t)
                            .arg(-m.dK),
                        this);
            return false;
        }
        if ((t < dTMin || t > dTMax)
            && !AskTakNie(QMessageBox::Question, tr("Pytanie."),
                          tr("Temperatura %1 °C leży poza zwykłym zakresem (%2 do %3 °C). Zapisać ją mimo to?")
                              .arg(t)
                              .arg(dTMin)
                              .arg(dTMax),
                          this))
            return false;
    }
    const double before = ReadTemperatura(&archive, iPomiarId);
    TWerdyktZapis z;
    WerdyktOf(&archive, iPomiarId, &z);
    int result = SaveTemperatura(&archive, iPomiarId, t);
    if (result == ArchiveOk && (reczny != z.iReczny || lePowod->text() != z.qsPowod))
        result = SaveWerdyktReczny(&archive, iPomiarId, reczny, reczny == WerdyktBrak ? QString() : lePowod->text());
    // A temperature typed later changes what the measurement is: judged
    // again, as asked, by today's limits.
    const bool tChanged = !((std::isnan(before) && std::isnan(t)) || before == t);
    if (result == ArchiveOk && (chJudge->isChecked() || (tChanged && z.bStored)))
        result = JudgeAndStore(&archive, iPomiarId);
    if (result != ArchiveOk) {
        ShowProblem(QMessageBox::Warning, tr("Błąd!"), archive.LastErrorText(), this);
        return false;
    }
    emit Saved();
    return true;
}

// ---------------------------------------------------------------- groups

DialogGrupy::DialogGrupy(const QString &archivePath, const QString &autor, const QString &obiekt, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogGrupy"));
    setWindowTitle(tr("Grupy obiektów"));
    resize(900, 320);
    auto *top = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    cbGrupa = new QComboBox(this);
    cbGrupa->setMinimumWidth(250);
    auto *nowa = new QPushButton(tr("Nowa grupa…"), this);
    auto *edit = new QPushButton(tr("Członkowie…"), this);
    auto *remove = new QPushButton(tr("Usuń grupę"), this);
    bar->addWidget(new QLabel(tr("Grupa:"), this));
    bar->addWidget(cbGrupa, 1);
    bar->addWidget(nowa);
    bar->addWidget(edit);
    bar->addWidget(remove);
    top->addLayout(bar);
    table = new QTableWidget(this);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setColumnCount(8);
    table->setHorizontalHeaderLabels({tr("Obiekt"), tr("Data"), tr("R"), tr("T [°C]"), tr("R porównane"),
                                      tr("Od najniższego"), tr("Od średniej"), tr("Werdykt")});
    table->horizontalHeader()->setStretchLastSection(true);
    top->addWidget(table);
    lInfo = new QLabel(this);
    lInfo->setTextFormat(Qt::PlainText);
    top->addWidget(lInfo);
    connect(cbGrupa, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &DialogGrupy::ShowGrupa);
    connect(nowa, &QPushButton::clicked, this, [this]() { EditMembers(true); });
    connect(edit, &QPushButton::clicked, this, [this]() { EditMembers(false); });
    connect(remove, &QPushButton::clicked, this, [this]() {
        const int i = cbGrupa->currentIndex();
        if (i < 0 || i >= grupy.size())
            return;
        TGrupa g = grupy.at(i);
        g.bUsunieta = true;
        if (SaveGrupa(&archive, &g) != ArchiveOk)
            ShowProblem(QMessageBox::Warning, tr("Błąd!"), archive.LastErrorText(), this);
        else
            emit Saved();
        Reload(QString());
    });
    if (OpenOrTell(&archive, archivePath, autor, this)) {
        Reload(QString());
        const TGrupa *g = GrupaOf(grupy, obiekt);
        if (g)
            cbGrupa->setCurrentIndex(int(g - grupy.constData()));
    }
}

void DialogGrupy::Reload(const QString &uuid)
{
    grupy = ReadGrupy(&archive);
    const QSignalBlocker block(cbGrupa);
    cbGrupa->clear();
    int current = 0;
    for (int i = 0; i < grupy.size(); ++i) {
        cbGrupa->addItem(grupy.at(i).qsNazwa);
        if (grupy.at(i).qsUuid == uuid)
            current = i;
    }
    cbGrupa->setCurrentIndex(grupy.isEmpty() ? -1 : current);
    ShowGrupa(cbGrupa->currentIndex());
}

void DialogGrupy::ShowGrupa(int index)
{
    table->setRowCount(0);
    lInfo->clear();
    if (index < 0 || index >= grupy.size())
        return;
    const TGrupaWidok w = ReadGrupaWidok(&archive, grupy.at(index));
    table->setRowCount(w.obiekty.size());
    for (int i = 0; i < w.obiekty.size(); ++i) {
        const bool has = w.pomiary.at(i) != 0;
        const TWerdyktZapis &z = w.werdykty.at(i);
        const QStringList cells{
            w.obiekty.at(i),
            has ? HistoriaCzasText(w.czasy.at(i)) : tr("brak pomiaru"),
            has ? FormatEngineering(w.r.at(i)) : QString(),
            std::isfinite(w.t.at(i)) ? QString::number(w.t.at(i)) : QString(),
            has ? FormatEngineering(w.porownanie.wartosci.at(i)) : QString(),
            Percent(w.porownanie.odNajnizszej.at(i)),
            Percent(w.porownanie.odSredniej.at(i)),
            WerdyktText(z.Werdykt()),
        };
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            if (c == cells.size() - 1 && WerdyktColor(z.Werdykt()).isValid())
                item->setBackground(WerdyktColor(z.Werdykt()));
            table->setItem(i, c, item);
        }
    }
    table->resizeColumnsToContents();
    if (w.porownanie.iPorownane > 0)
        lInfo->setText(w.porownanie.bKorekcja
                           ? tr("Porównano R w temperaturze odniesienia. Najniższe %1, średnia %2.")
                                 .arg(FormatEngineering(w.porownanie.dNajnizsza), FormatEngineering(w.porownanie.dSrednia))
                           : tr("Porównano R bez korekcji temperatury: nie każdy pomiar ma temperaturę. "
                                "Najniższe %1, średnia %2.")
                                 .arg(FormatEngineering(w.porownanie.dNajnizsza), FormatEngineering(w.porownanie.dSrednia)));
}

void DialogGrupy::EditMembers(bool nowa)
{
    const int index = cbGrupa->currentIndex();
    if (!nowa && (index < 0 || index >= grupy.size()))
        return;
    TGrupa g = nowa ? TGrupa() : grupy.at(index);
    QDialog pick(this);
    pick.setWindowTitle(nowa ? tr("Nowa grupa") : tr("Członkowie grupy"));
    auto *form = new QVBoxLayout(&pick);
    auto *name = new QLineEdit(g.qsNazwa, &pick);
    name->setPlaceholderText(tr("Nazwa grupy"));
    form->addWidget(name);
    auto *list = new QListWidget(&pick);
    for (const TArchiveObiekt &o : archive.Obiekty()) {
        auto *item = new QListWidgetItem(o.qsNazwa, list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(g.obiekty.contains(o.qsNazwa) ? Qt::Checked : Qt::Unchecked);
    }
    form->addWidget(list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &pick);
    connect(buttons, &QDialogButtonBox::accepted, &pick, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &pick, &QDialog::reject);
    form->addWidget(buttons);
    if (pick.exec() != QDialog::Accepted)
        return;
    g.qsNazwa = name->text().trimmed();
    // Members in the order they were there, new ones after them.
    QStringList members;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked)
            members << list->item(i)->text();
    }
    QStringList ordered;
    for (const QString &m : g.obiekty) {
        if (members.contains(m))
            ordered << m;
    }
    for (const QString &m : members) {
        if (!ordered.contains(m))
            ordered << m;
    }
    g.obiekty = ordered;
    if (g.qsNazwa.isEmpty())
        g.qsNazwa = tr("Grupa");
    if (SaveGrupa(&archive, &g) != ArchiveOk)
        ShowProblem(QMessageBox::Warning, tr("Błąd!"), archive.LastErrorText(), this);
    else
        emit Saved();
    Reload(g.qsUuid);
}

void DialogGrupy::Reread()
{
    const int i = cbGrupa->currentIndex();
    if (archive.IsOpen())
        Reload(i >= 0 && i < grupy.size() ? grupy.at(i).qsUuid : QString());
}
