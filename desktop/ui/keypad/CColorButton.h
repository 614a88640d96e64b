// A keypad push button that paints itself in one of the keypad's four
// styles, with its own background and text colour or the system's. It tracks
// the pointer (hover), shows its pressed state, and in the Vossek style
// answers the pointer only inside its capsule body.
#pragma once

#include "desktop/ui/keypad/KeypadAppearance.h"

#include <QAbstractButton>
#include <QColor>

class CColorButton final : public QAbstractButton {
    Q_OBJECT

public:
    // id is the button's id in the keypad's table.
    CColorButton(int id, QWidget* parent);

    int id() const { return id_; }

    // The button's own colours, used while the matching system switch is off.
    void setBackgroundColour(QColor colour);
    void setTextColour(QColor colour);
    void setUseSystemBackground(bool on);
    void setUseSystemText(bool on);
    bool usesSystemBackground() const { return systemBackground_; }
    bool usesSystemText() const { return systemText_; }
    // The colours the button paints with now: its own, or the palette's
    // button face and button text when it uses the system's.
    QColor shownBackground() const;
    QColor shownText() const;

    // The style it was given (the keypad's effective style), whether a
    // visual theme is active, and the drawing it paints with: style 0 with
    // a theme paints as Vista, 2 and 3 without one as Vossek.
    void setDrawingStyle(Keypad::Style style, bool themeActive);
    Keypad::Style drawingStyle() const { return style_; }
    Keypad::Style paintingStyle() const;

    bool isHovered() const { return hovered_; }

    QSize sizeHint() const override;

signals:
    // F1 over the button, or a click on it in "What's This?" mode.
    void helpRequested(int id);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setHovered(bool hovered);

    int id_;
    QColor background_;
    QColor text_;
    bool systemBackground_ = true;
    bool systemText_ = true;
    Keypad::Style style_ = Keypad::StyleVossek;
    bool theme_ = false;
    bool hovered_ = false;
};
