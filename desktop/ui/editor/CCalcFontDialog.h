// The font dialog of the editor font: Qt's own font dialog, started from the
// current editor font.
#pragma once

#include <QFontDialog>

class CCalcFontDialog final : public QFontDialog {
    Q_OBJECT

public:
    explicit CCalcFontDialog(const QFont& initial, QWidget* parent = nullptr);
};
