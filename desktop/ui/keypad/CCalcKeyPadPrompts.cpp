#include "desktop/ui/keypad/CCalcKeyPadPrompts.h"

#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/editor/CCalcFontDialog.h"

#include <QColorDialog>
#include <QFontInfo>
#include <QMessageBox>

std::optional<QColor> CCalcKeyPadDialogs::chooseColour(const QColor& current)
{
    QColorDialog dialog(current, parent_);
    dialog.setWindowTitle(QStringLiteral("Color"));
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return std::nullopt;
    return dialog.selectedColor();
}

std::optional<QFont> CCalcKeyPadDialogs::chooseFont(const QFont& current)
{
    CCalcFontDialog dialog(current, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QFont chosen = dialog.selectedFont();
    // The dialog lists installed faces only: a face the system substitutes
    // (Arial drawn in Liberation Sans) comes back under the substitute's
    // name. Keep the name the user had when the face is the same.
    if (chosen.family() != current.family() && chosen.family() == QFontInfo(current).family())
        chosen.setFamily(current.family());
    return chosen;
}

void CCalcKeyPadDialogs::fontFailed()
{
    QMessageBox box(QMessageBox::Warning, Tevra::SettingsApplication, FontFailedMessage, QMessageBox::Ok, parent_);
    box.exec();
}
