#include "ui/editor/CCalcFontDialog.h"

CCalcFontDialog::CCalcFontDialog(const QFont& initial, QWidget* parent) : QFontDialog(initial, parent)
{
    setWindowTitle(QStringLiteral("Font"));
    setOption(QFontDialog::ScalableFonts);
    setOption(QFontDialog::NonScalableFonts);
    setOption(QFontDialog::MonospacedFonts);
    setOption(QFontDialog::ProportionalFonts);
}
