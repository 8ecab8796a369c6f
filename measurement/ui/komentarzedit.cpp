#include "measurement/ui/komentarzedit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Marks a block that continues the paragraph of the block before it.
const int kContinues = QTextFormat::UserProperty + 1;

// The size of a block of a long paragraph; it breaks after a space in its
// second half when there is one, so that a wrapped line seldom ends short.
const int kPiece = 2048;

bool Continues(const QTextBlock &block)
{
    return block.isValid() && block.blockFormat().boolProperty(kContinues);
}

int PieceEnd(const QString &line, int from)
{
    int end = from + kPiece;
    if (end >= line.size())
        return line.size();
    for (int i = end; i > from + kPiece / 2; --i) {
        if (line.at(i - 1) == QLatin1Char(' '))
            return i;
    }
    // Never between the two halves of a surrogate pair.
    if (line.at(end).isLowSurrogate())
        --end;
    return end;
}

} // namespace

TKomentarzEdit::TKomentarzEdit(QWidget *parent)
    : QTextEdit(parent)
{
    connect(this, &QTextEdit::textChanged, this, [this]() {
        if (!bLoading)
            bEdited = bTouched = true;
    });
}

void TKomentarzEdit::ShowKomentarz(const QString &text, bool edited)
{
    // The same comment as the one shown, untouched since (most measurements
    // have none): filling the document again would lay it out and paint the
    // editor anew for nothing. What filling it resets is reset here.
    if (!edited && !bTouched && text == qsShown) {
        if (textCursor().position() != 0 || textCursor().hasSelection())
            moveCursor(QTextCursor::Start);
        verticalScrollBar()->setValue(verticalScrollBar()->minimum());
        horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
        bEdited = false;
        return;
    }
    bLoading = true;
    // setPlainText as the editor always took the comment; a long paragraph
    // goes in piece by piece after it.
    bool longParagraph = false;
    for (int start = 0; start < text.size() && !longParagraph;) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        longParagraph = end - start > kLongParagraph;
        start = end + 1;
    }
    if (!longParagraph) {
        setPlainText(text);
    } else {
        setPlainText(QString());
        document()->setUndoRedoEnabled(false);
        QTextCursor cursor(document());
        InsertText(cursor, text);
        document()->setUndoRedoEnabled(true);
        moveCursor(QTextCursor::Start);
    }
    bLoading = false;
    bEdited = edited;
    bTouched = edited;
    qsShown = text;
}

QString TKomentarzEdit::Komentarz() const
{
    return TextBetween(0, document()->characterCount() - 1);
}

QString TKomentarzEdit::TextBetween(int from, int to) const
{
    // toPlainText gives one character for each document position.
    const QString plain = document()->toPlainText();
    to = qMin(to, plain.size());
    QString text;
    int copied = from;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int mark = block.position() - 1;
        if (mark < from || !Continues(block))
            continue;
        text += plain.midRef(copied, mark - copied);
        copied = mark + 1;
    }
    if (to > copied)
        text += plain.midRef(copied, to - copied);
    return text;
}

void TKomentarzEdit::InsertText(QTextCursor &cursor, const QString &text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QTextBlockFormat paragraph = cursor.blockFormat();
    paragraph.clearProperty(kContinues);
    QTextBlockFormat continuation = paragraph;
    continuation.setProperty(kContinues, true);

    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QVector<QStringRef> split = lines.splitRef(QLatin1Char('\n'));
    for (int n = 0; n < split.size(); ++n) {
        if (n > 0)
            cursor.insertBlock(paragraph);
        const QString line = split.at(n).toString();
        if (line.size() <= kLongParagraph) {
            cursor.insertText(line);
            continue;
        }
        for (int from = 0; from < line.size();) {
            const int end = PieceEnd(line, from);
            if (from > 0)
                cursor.insertBlock(continuation);
            cursor.insertText(line.mid(from, end - from));
            from = end;
        }
    }
    cursor.endEditBlock();
}

void TKomentarzEdit::keyPressEvent(QKeyEvent *event)
{
    QTextCursor cursor = textCursor();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (!cursor.hasSelection() && modifiers == Qt::NoModifier) {
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && Continues(cursor.block())) {
            // A new paragraph, not one more block of this one.
            InsertText(cursor, QStringLiteral("\n"));
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        }
        // Keys that go back or forth over a break between blocks of one
        // paragraph act on the character beyond it, as in one block.
        const int at = cursor.position();
        if (key == Qt::Key_Backspace || key == Qt::Key_Left) {
            while (cursor.atBlockStart() && Continues(cursor.block()))
                cursor.setPosition(cursor.position() - 1);
        } else if (key == Qt::Key_Delete || key == Qt::Key_Right) {
            while (cursor.atBlockEnd() && Continues(cursor.block().next()))
                cursor.setPosition(cursor.position() + 1);
        }
        if (cursor.position() != at)
            setTextCursor(cursor);
    }
    QTextEdit::keyPressEvent(event);
}

QMimeData *TKomentarzEdit::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(TextBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

bool TKomentarzEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText() || QTextEdit::canInsertFromMimeData(source);
}

void TKomentarzEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    // As text: the comment is stored as text, and a pasted paragraph of a
    // megabyte needs its blocks like one read from the database.
    QTextCursor cursor = textCursor();
    InsertText(cursor, source->text());
    setTextCursor(cursor);
    ensureCursorVisible();
}
