// A form's label that shortens what it paints, never what it holds: the
// label's text is read back by the window (the language switch, the CSV's
// header lines), so only the painting is elided.

#include "common/ui/elidedlabel.h"

#include "common/ui/messages.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace {

// A name of a megabyte is measured by its start: far past any label's width,
// and the paint stays as quick as for a short one.
constexpr int kMeasuredChars = 2000;

class TElideFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *label = qobject_cast<QLabel *>(watched);
        if (!label || (event->type() != QEvent::Paint && event->type() != QEvent::ToolTip))
            return false;
        const QRect area = label->contentsRect();
        const QString text = label->text().left(kMeasuredChars).section(QLatin1Char('\n'), 0, 0);
        const QFontMetrics metrics = label->fontMetrics();
        const bool cut = text.size() < label->text().size() || metrics.horizontalAdvance(text) > area.width();
        if (!cut)
            return false;
        if (event->type() == QEvent::ToolTip) {
            if (!label->toolTip().isEmpty())
                return false;
            QString whole = label->text();
            if (whole.size() > kMeasuredChars / 2)
                whole = whole.left(kMeasuredChars / 2) + QChar(0x2026);
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), PlainToolTip(whole), label);
            return true;
        }
        QPainter painter(label);
        const QString shown = metrics.elidedText(text + QChar(0x2026), Qt::ElideRight, area.width());
        label->style()->drawItemText(&painter, area,
                                     QStyle::visualAlignment(label->layoutDirection(), label->alignment()),
                                     label->palette(), label->isEnabled(), shown, label->foregroundRole());
        return true;
    }
};

} // namespace

void ElideLabel(QLabel *label)
{
    label->installEventFilter(new TElideFilter(label));
}
