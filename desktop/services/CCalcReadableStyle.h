// The application's style with tick boxes that read on every palette: on a
// dark palette some styles draw the frame of an empty box in a colour close
// to its background, so that an unticked box cannot be seen. This style draws
// the style's box and then, on a dark palette, a frame that stands out.
#pragma once

#include <QProxyStyle>

class CCalcReadableStyle final : public QProxyStyle {
    Q_OBJECT

public:
    // Wraps the style of that key, or the application's default style.
    explicit CCalcReadableStyle(const QString& key = {});

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
