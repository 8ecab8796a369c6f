#ifndef WIZYTAWINDOW_H
#define WIZYTAWINDOW_H

#include "visit/wizyta.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class TArchive;

/// The site visits of the archive: the list, one visit's data and plan
/// with what was measured, missing or measured twice and each object's
/// verdict, the meters' calibration certificates, the protocol written as
/// PDF, XLSX or CSV, and its approval. An approved visit is shown locked
/// until "Nowa rewizja" starts the next revision.
class TWizytaWindow : public QWidget
{
    Q_OBJECT

public:
    /// `autor(ask)` is the person's name from the settings (asked for when
    /// `ask` and none is set; empty when refused).
    TWizytaWindow(const QString &archivePath, std::function<QString(bool)> autor, QWidget *parent = nullptr);
    ~TWizytaWindow() override;

    /// False (with the reason in a message box already shown) when the archive could not be opened.
    bool IsOpen() const;
    /// Shows the visit numbered `numer`; false when there is none.
    bool Select(const QString &numer);
    /// The visit as the fields hold it.
    TWizyta Edited() const;

    /// Saves the fields; false (the user told) when they could not be.
    bool Save();
    /// Writes the protocol of the visit shown in `format` (TProtokolFormat)
    /// to `fileName`; false (the user told) on failure. Unsaved changes of a
    /// draft are saved first.
    bool WriteProtokol(int format, const QString &fileName);
    /// Adds objects to the plan (names of the archive or typed).
    void AddToPlan(const QStringList &names);

private:
    void BuildUi();
    void Retranslate();
    void FillList(const QString &uuidToSelect);
    void ShowVisit(const TWizytaInfo &info);
    void ShowState();
    void SetLocked(bool locked);
    void NewVisit();
    void NewRevision();
    void AddObjects();
    void RemoveObjects();
    void ChooseMeasurements();
    void EditCertificate();
    void AskAndWrite(int format);
    void Approve();
    void Fail(const QString &text);

    std::unique_ptr<TArchive> pArchive;
    std::function<QString(bool)> fnAutor;
    TWizytaInfo current;
    bool bHasVisit = false;
    QStringList meters; // serials of the visit's measurements

    QListWidget *pList = nullptr;
    QLineEdit *pNumer = nullptr, *pKlient = nullptr, *pMiejsce = nullptr, *pSprawdzil = nullptr,
              *pSprawdzilUpr = nullptr, *pTemp = nullptr, *pWarunki = nullptr;
    QDateEdit *pOd = nullptr, *pDo = nullptr;
    QPlainTextEdit *pWykonali = nullptr, *pUwagi = nullptr;
    QTableWidget *pPlan = nullptr;
    QLabel *pStatus = nullptr, *pPrzyrzad = nullptr;
    QWidget *pEditor = nullptr;
    QPushButton *pSave = nullptr, *pApprove = nullptr, *pRevision = nullptr;
    QCheckBox *pWykresy = nullptr; // the PDF's appendix of charts (a draft's, and what is approved)
};

#endif // WIZYTAWINDOW_H
