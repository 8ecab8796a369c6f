#ifndef KOMENTARZEDIT_H
#define KOMENTARZEDIT_H

#include <QString>
#include <QTextEdit>

QT_BEGIN_NAMESPACE
class QMimeData;
class QTextCursor;
QT_END_NAMESPACE

/// The comment editor of the result area (the form's `tE_Komentarz`) and
/// what it knows of its comment: the text shown and whether the user has
/// changed it since.
///
/// Qt lays out a whole paragraph again for every character typed into it;
/// in a paragraph of a megabyte that is a fifth of a second a key. A long
/// paragraph is therefore held as several blocks of the document, each
/// after the first marked as continuing the one before. The marks are the
/// editor's own: `Komentarz()`, copying and the keys that cross them see
/// the paragraph as one.
class TKomentarzEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit TKomentarzEdit(QWidget *parent = nullptr);

    /// Shows `text` as the comment of what is shown now; `edited` tells
    /// whether it counts as the user's change (an edit kept across a
    /// language switch) or as the comment just read.
    void ShowKomentarz(const QString &text, bool edited = false);
    /// The comment as it stands in the editor, every line end "\n".
    QString Komentarz() const;
    /// Whether the user changed the comment since it was shown or saved.
    bool Edited() const { return bEdited; }
    /// What the editor holds now no longer counts as an edit (it was saved,
    /// or it belongs to nothing that could keep it).
    void ForgetEdit() { bEdited = false; }

    /// Paragraphs longer than this are held in several blocks.
    static constexpr int kLongParagraph = 4096;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    /// The text between document positions `from` and `to` without the
    /// breaks between the blocks of one paragraph.
    QString TextBetween(int from, int to) const;
    /// Inserts `text` at `cursor` with its line ends as paragraphs and its
    /// long paragraphs in several blocks.
    static void InsertText(QTextCursor &cursor, const QString &text);

    bool bLoading = false; // ShowKomentarz is filling the editor
    bool bEdited = false;
    // Anything but ShowKomentarz changed the document since it last showed
    // qsShown (the user, or the form setting its own text).
    bool bTouched = true;
    QString qsShown;
};

#endif // KOMENTARZEDIT_H
