#include "desktop/services/CCalcReadableStyle.h"

#include "desktop/services/PaletteColors.h"

#include <QPainter>
#include <QStyleOption>

CCalcReadableStyle::CCalcReadableStyle(const QString& key) : QProxyStyle(key) {}

void CCalcReadableStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                       const QWidget* widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (option == nullptr || (element != PE_IndicatorCheckBox && element != PE_IndicatorItemViewItemCheck) ||
        !Tevra::IsDarkPalette(option->palette))
        return;
    const QPalette::ColorGroup group = option->state & State_Enabled ? QPalette::Active : QPalette::Disabled;
    const QColor background = option->palette.color(group, QPalette::Base);
    QColor frame = Tevra::ReadableOn(option->palette.color(group, QPalette::Mid), background, Tevra::GraphicsContrast);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(frame, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}
