// The import log window. Everything it shows comes from the archive's log
// (TArchive::ImportLog, ImportNotes); paths and reasons from files are shown
// as plain text in table cells and plain-text labels.

#include "archive/ui/dialogimport.h"

#include "archive/tarchive_notes.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum ImportColumn { ColCzas, ColZrodlo, ColNowe, ColJuz, ColKonflikty, ColOdrzucone, ImportColumns };
enum NoteColumn { ColBaza, ColPomiar, ColPlik, ColPowod, ColSzczegoly, NoteColumns };
// How many notes the table lists: a hostile source can bring a hundred
// thousand, which would take the table seconds and hundreds of MB; the
// summary counts them all by reason.
constexpr int kNotesListed = 1000;

QTableWidgetItem *Cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setToolTip(text);
    if (number)
        item->setTextAlignment(int(Qt::AlignRight | Qt::AlignVCenter));
    return item;
}

QTableWidget *NewTable(QWidget *parent, const char *name, int columns)
{
    auto *table = new QTableWidget(0, columns, parent);
    table->setObjectName(QLatin1String(name));
    table->setWordWrap(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

} // namespace

DialogImport::DialogImport(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogImport"));
    setWindowFlags(Qt::Window);
    setModal(false);
    resize(980, 620);

    tW_Importy = NewTable(this, "tW_Importy", ImportColumns);
    // The source takes what the time and the counts leave.
    tW_Importy->horizontalHeader()->setStretchLastSection(false);
    tW_Importy->horizontalHeader()->setSectionResizeMode(ColZrodlo, QHeaderView::Stretch);
    label_Podsumowanie = new QLabel(this);
    label_Podsumowanie->setObjectName(QStringLiteral("label_Podsumowanie"));
    // The source's path comes from the file system: never markup.
    label_Podsumowanie->setTextFormat(Qt::PlainText);
    label_Podsumowanie->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label_Podsumowanie->setWordWrap(true);
    tW_Uwagi = NewTable(this, "tW_Uwagi", NoteColumns);
    auto *close = new QPushButton(this);
    close->setObjectName(QStringLiteral("pB_Zamknij"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto *lower = new QWidget(this);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(label_Podsumowanie);
    lowerLayout->addWidget(tW_Uwagi);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(tW_Importy);
    splitter->addWidget(lower);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({200, 400});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(splitter);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(tW_Importy, &QTableWidget::currentCellChanged, this, [this]() { ShowSelected(); });
    RetranslateTexts();
}

void DialogImport::ShowLog(const QString &archivePath, qint64 importId)
{
    qsArchive = archivePath;
    qsError.clear();
    entries.clear();
    {
        // A connection of its own, only while reading: the log window never
        // holds the archive open against an import.
        TArchive archive;
        if (archive.Open(archivePath) == ArchiveOk)
            entries = archive.ImportLog();
        else
            qsError = archive.LastErrorText();
    }
    FillLog();
    int row = 0;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].iImportId == importId)
            row = i;
    }
    if (!entries.isEmpty()) {
        // Signals off: ShowSelected runs once, below, also when the row stays the same.
        tW_Importy->blockSignals(true);
        tW_Importy->setCurrentCell(row, 0);
        tW_Importy->blockSignals(false);
    }
    ShowSelected();
}

qint64 DialogImport::SelectedImport() const
{
    const int row = tW_Importy->currentRow();
    return row >= 0 && row < entries.size() ? entries[row].iImportId : 0;
}

QString DialogImport::SummaryText() const
{
    return label_Podsumowanie->text();
}

int DialogImport::NoteCount() const
{
    return notes.size();
}

void DialogImport::FillLog()
{
    tW_Importy->setRowCount(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        const TArchiveImportLogEntry &e = entries[i];
        const QString czas = QDateTime::fromSecsSinceEpoch(e.iCzas, Qt::UTC).toLocalTime().toString(
            QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        tW_Importy->setItem(i, ColCzas, Cell(czas));
        tW_Importy->setItem(i, ColZrodlo, Cell(QDir::toNativeSeparators(e.qsSource)));
        tW_Importy->setItem(i, ColNowe, Cell(QString::number(e.iNew), true));
        tW_Importy->setItem(i, ColJuz, Cell(QString::number(e.iArchived), true));
        tW_Importy->setItem(i, ColKonflikty, Cell(QString::number(e.iConflicts), true));
        tW_Importy->setItem(i, ColOdrzucone, Cell(QString::number(e.iRefused), true));
    }
    tW_Importy->resizeColumnsToContents();
}

void DialogImport::ShowSelected()
{
    notes.clear();
    const int row = tW_Importy->currentRow();
    if (!qsError.isEmpty()) {
        label_Podsumowanie->setText(tr("Nie można odczytać dziennika importów archiwum:\n%1\n\n%2")
                                        .arg(QDir::toNativeSeparators(qsArchive), qsError));
    } else if (row < 0 || row >= entries.size()) {
        label_Podsumowanie->setText(tr("Do archiwum nie zaimportowano jeszcze niczego."));
    } else {
        const TArchiveImportLogEntry &e = entries[row];
        {
            TArchive archive;
            if (archive.Open(qsArchive) == ArchiveOk)
                notes = archive.ImportNotes(e.iImportId);
        }
        QString text = tr("Źródło: %1").arg(QDir::toNativeSeparators(e.qsSource)) + QLatin1Char('\n')
            + tr("Nowe pomiary: %1").arg(e.iNew);
        if (e.iWithoutRecord > 0)
            text += QLatin1Char(' ') + tr("(w tym bez pliku danych: %1)").arg(e.iWithoutRecord);
        text += QLatin1Char('\n') + tr("Już w archiwum: %1").arg(e.iArchived) + QLatin1Char('\n')
            + tr("Konflikty: %1").arg(e.iConflicts) + QLatin1Char('\n') + tr("Odrzucone: %1").arg(e.iRefused);
        if (notes.size() > kNotesListed)
            text += QLatin1Char('\n') + tr("Uwagi: %1, wymienione pierwsze %2 (%3)")
                                            .arg(notes.size())
                                            .arg(kNotesListed)
                                            .arg(ArchiveNoteCounts(notes));
        label_Podsumowanie->setText(text);
    }

    const int listed = qMin(notes.size(), kNotesListed);
    tW_Uwagi->setRowCount(listed);
    for (int i = 0; i < listed; ++i) {
        const TArchiveImportNote &n = notes[i];
        tW_Uwagi->setItem(i, ColBaza, Cell(QDir::toNativeSeparators(n.qsSource)));
        tW_Uwagi->setItem(i, ColPomiar, Cell(n.qsPomiarId, true));
        tW_Uwagi->setItem(i, ColPlik, Cell(n.qsPlik));
        tW_Uwagi->setItem(i, ColPowod, Cell(ArchiveReasonText(n.iReason)));
        tW_Uwagi->setItem(i, ColSzczegoly, Cell(n.qsDetail));
    }
    tW_Uwagi->resizeColumnsToContents();
    tW_Uwagi->setColumnWidth(ColBaza, qMin(tW_Uwagi->columnWidth(ColBaza), 420));
    tW_Uwagi->setColumnWidth(ColPowod, qMin(tW_Uwagi->columnWidth(ColPowod), 360));
}

void DialogImport::RetranslateTexts()
{
    setWindowTitle(tr("Importy do archiwum"));
    tW_Importy->setHorizontalHeaderLabels({tr("Czas"), tr("Źródło"), tr("Nowe"), tr("Już w archiwum"),
                                          tr("Konflikty"), tr("Odrzucone")});
    tW_Uwagi->setHorizontalHeaderLabels(
        {tr("Baza danych"), tr("Nr pomiaru"), tr("Plik danych"), tr("Powód"), tr("Szczegóły")});
    if (auto *close = findChild<QPushButton *>(QStringLiteral("pB_Zamknij")))
        close->setText(tr("Zamknij"));
}

void DialogImport::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        RetranslateTexts();
        if (!qsArchive.isEmpty())
            ShowSelected();
    }
    QDialog::changeEvent(event);
}
