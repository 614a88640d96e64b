// The editor font: the stored one, the one chosen in the font dialog and the
// default, with the check mark of the Default command.
#include "desktop/ui/editor/CCalcView.h"

#include <QFontInfo>
#include <QSettings>

#include <algorithm>
#include <cmath>

#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/editor/CCalcFontDialog.h"

namespace {

const QString SettingsGroup = QStringLiteral("GUI/Editor");
const QString& FaceKey = Tevra::FontFaceKey;
const QString& SizeKey = Tevra::FontSizeKey;
const QString& WeightKey = Tevra::FontWeightKey;
const QString& ItalicKey = Tevra::FontItalicKey;

const QString DefaultFace = QStringLiteral("Courier New");
constexpr int DefaultSize = 15;
constexpr int DefaultWeight = 400;  // normal; the stored scale (400 normal, 700 bold) is Qt's own
constexpr int MaximumSize = 1000;
constexpr int MaximumWeight = 1000;
constexpr qsizetype MaximumFaceLength = 256;

QFont MakeFont(const QString& face, int size, int weight, bool italic)
{
    QFont font(face);
    // When the face is not installed at all, fall back to a fixed-pitch one.
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(size);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, MaximumWeight)));
    font.setItalic(italic);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

bool IsDefaultFont(const QFont& font, int size)
{
    return size == DefaultSize && font.weight() == DefaultWeight && !font.italic() && font.family() == DefaultFace;
}

}  // namespace

void CCalcView::applyFont(const QFont& font, int size)
{
    fontSize_ = size;
    defaultFontInUse_ = IsDefaultFont(font, size);
    setFont(font);
    emit fontChanged(defaultFontInUse_);
}

void CCalcView::setEditorFont(const QFont& chosen)
{
    int size = static_cast<int>(std::lround(chosen.pointSizeF()));
    if (chosen.pointSizeF() <= 0) {
        const double dpi = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
        size = static_cast<int>(std::lround(chosen.pixelSize() * 72.0 / dpi));
    }
    size = std::clamp(size, 1, MaximumSize);
    applyFont(MakeFont(chosen.family(), size, chosen.weight(), chosen.italic()), size);
}

void CCalcView::selectFont()
{
    const QFont current = font();
    CCalcFontDialog dialog(current, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QFont chosen = dialog.selectedFont();
    // The dialog lists the installed faces only: a face that the system
    // substitutes (Courier New shown in Liberation Mono) comes back under the
    // substitute's name. Keep the name the user had when the face is the same.
    if (chosen.family() != current.family() && chosen.family() == QFontInfo(current).family())
        chosen.setFamily(current.family());
    setEditorFont(chosen);
}

void CCalcView::setDefaultFont()
{
    applyFont(MakeFont(DefaultFace, DefaultSize, DefaultWeight, false), DefaultSize);
}

void CCalcView::loadSettings()
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    const auto size = Tevra::ReadStoredUInt32(settings, SizeKey);
    const auto weight = Tevra::ReadStoredUInt32(settings, WeightKey);
    const auto italic = Tevra::ReadStoredUInt32(settings, ItalicKey);
    const QVariant face = settings.value(FaceKey);
    settings.endGroup();

    const int fontSize = size && *size >= 1 && *size <= MaximumSize ? static_cast<int>(*size) : DefaultSize;
    // Weight 0 means "any weight": the normal one.
    const int fontWeight =
        weight && *weight >= 1 && *weight <= MaximumWeight ? static_cast<int>(*weight) : DefaultWeight;
    QString fontFace = face.typeId() == QMetaType::QString ? face.toString() : QString();
    if (fontFace.trimmed().isEmpty() || fontFace.size() > MaximumFaceLength)
        fontFace = DefaultFace;
    applyFont(MakeFont(fontFace, fontSize, fontWeight, italic.value_or(0) != 0), fontSize);
}

void CCalcView::saveSettings() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    settings.setValue(FaceKey, font().family());
    settings.setValue(SizeKey, fontSize_);
    settings.setValue(WeightKey, static_cast<int>(font().weight()));
    settings.setValue(ItalicKey, font().italic() ? 1 : 0);
    settings.endGroup();
}
