#include "app/windowstyle.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

namespace {

// Fusion draws a group box's frame from a picture it loads by name on every
// paint; each load asks the file's time, which costs a time-zone read. A
// click on a measurement repaints the "Metryka Pomiaru" box behind every
// label that changed, so the frame is drawn here from the picture loaded
// once, with Fusion's own margins.
class TFusionFrames : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_FrameGroupBox) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        static const QPixmap frame(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
        const int kTopMargin = 3; // Fusion's room between the title and the frame, px
        const auto *box = qobject_cast<const QGroupBox *>(widget);
        const int top = box && !box->isCheckable() && box->title().isEmpty()
            ? kTopMargin
            : qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) + kTopMargin;
        qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6), frame);
    }
};

} // namespace

void SetUpWindowStyle()
{
    QStyle *chosen = QApplication::style();
    if (!chosen || !chosen->inherits("QFusionStyle"))
        return;
    // A fresh one to wrap: the application deletes the style it replaces.
    QStyle *base = QStyleFactory::create(chosen->objectName());
    if (base && base->inherits("QFusionStyle"))
        QApplication::setStyle(new TFusionFrames(base));
    else
        delete base;
}
