#ifndef DIALOGREJESTR_H
#define DIALOGREJESTR_H

#include "archive/tarchive.h"
#include "asset/assetregister.h"
#include "asset/assetstore.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QTabWidget;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

/// "Rejestr obiektów": the register's tree with its editing, the due list
/// ("Do wykonania") and the watch list ("Do obserwacji") of the archive at
/// the path given; a point's history opens with its trend and projection.
/// Everything it writes is a new version of a node or a rule.
class DialogRejestr : public QDialog
{
    Q_OBJECT

public:
    DialogRejestr(const QString &archivePath, const QString &autor, QWidget *parent = nullptr);
    ~DialogRejestr() override;

    /// The window's tabs: tree, due list, watch list.
    QTabWidget *Tabs() const { return tabs; }
    /// Opens the history of `punkt` with its trend (the window is returned, it deletes itself on close).
    QDialog *OpenHistoria(const QString &punkt);

private:
    void Reload();
    void FillTree();
    void FillDue();
    void FillWatch();
    QString SelectedUuid() const;
    void Save(TAssetNode node);
    void AddNode();
    void RenameNode();
    void MoveNode();
    void RetireNode();
    void EditInterval();
    void EditDetails();
    void MapName();
    void ConfirmSuggestions();
    void SaveDueCsv();
    void SaveDuePdf();
    void SaveDueXlsx();
    void Fail(const QString &text);

    TArchive archive;
    TAssetRegister reg;
    QVector<TAssetTermin> due;
    QVector<TAssetObserwacja> watch;
    QTabWidget *tabs = nullptr;
    QTreeWidget *tree = nullptr;
    QTableWidget *dueTable = nullptr;
    QTableWidget *watchTable = nullptr;
    QDateEdit *month = nullptr;
    QLabel *status = nullptr;
};

#endif // DIALOGREJESTR_H
