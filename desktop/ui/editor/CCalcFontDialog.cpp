#include "desktop/ui/editor/CCalcFontDialog.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace {

// The dialog lists installed faces only. A face the system substitutes (such
// as Courier New, drawn in Liberation Mono) is shown as its substitute, so
// that the dialog opens on the face actually on screen.
QFont ShownFont(const QFont& font)
{
    if (QFontDatabase::families().contains(font.family()))
        return font;
    QFont shown = font;
    shown.setFamily(QFontInfo(font).family());
    return shown;
}

}  // namespace

CCalcFontDialog::CCalcFontDialog(const QFont& initial, QWidget* parent) : QFontDialog(ShownFont(initial), parent)
{
    setWindowTitle(QStringLiteral("Font"));
}
