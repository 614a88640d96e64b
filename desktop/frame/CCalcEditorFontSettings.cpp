#include "desktop/frame/CCalcEditorFontSettings.h"

#include <QFontInfo>
#include <QSettings>

#include <algorithm>
#include <cmath>

#include "desktop/services/CalcCommandBinder.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/editor/CCalcFontDialog.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/ui/editor/CalcEditorFont.h"

namespace {

const QString SettingsGroup = QStringLiteral("GUI/Editor");
constexpr qsizetype MaximumFaceLength = 256;

}  // namespace

using namespace CalcEditorFont;

CCalcEditorFontSettings::CCalcEditorFontSettings(CCalcView* view) : QObject(view), view_(view)
{
    loadSettings();
}

CCalcEditorFontSettings::~CCalcEditorFontSettings()
{
    saveSettings();
}

void CCalcEditorFontSettings::apply(const QFont& font, int size)
{
    font_ = font;
    size_ = size;
    defaultFontInUse_ = IsDefault(font, size);
    view_->setFont(font);
    emit fontChanged(defaultFontInUse_);
}

void CCalcEditorFontSettings::setEditorFont(const QFont& chosen)
{
    int size = static_cast<int>(std::lround(chosen.pointSizeF()));
    if (chosen.pointSizeF() <= 0) {
        const double dpi = view_->logicalDpiY() > 0 ? view_->logicalDpiY() : 96.0;
        size = static_cast<int>(std::lround(chosen.pixelSize() * 72.0 / dpi));
    }
    size = std::clamp(size, 1, MaximumSize);
    apply(Make(chosen.family(), size, chosen.weight(), chosen.italic()), size);
}

void CCalcEditorFontSettings::selectFont()
{
    const QFont current = font_;
    CCalcFontDialog dialog(current, view_);
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

void CCalcEditorFontSettings::setDefaultFont()
{
    apply(Default(), DefaultSize);
}

void CCalcEditorFontSettings::bindCommands(ICalcCommandBinder& commands)
{
    using namespace CalcCommand;
    commands.bindCommand(EditorFontSelect, [this] { selectFont(); });
    commands.bindCommand(
        EditorFontDefault, [this] { setDefaultFont(); }, {}, [this] { return isDefaultFont(); });
    connect(this, &CCalcEditorFontSettings::fontChanged, this, [&commands] { commands.refreshCommandStates(); });
}

void CCalcEditorFontSettings::loadSettings()
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    const auto size = Tevra::ReadStoredUInt32(settings, Tevra::FontSizeKey);
    const auto weight = Tevra::ReadStoredUInt32(settings, Tevra::FontWeightKey);
    const auto italic = Tevra::ReadStoredUInt32(settings, Tevra::FontItalicKey);
    const QVariant face = settings.value(Tevra::FontFaceKey);
    settings.endGroup();

    const int fontSize = size && *size >= 1 && *size <= MaximumSize ? static_cast<int>(*size) : DefaultSize;
    // Weight 0 means "any weight": the normal one.
    const int fontWeight =
        weight && *weight >= 1 && *weight <= MaximumWeight ? static_cast<int>(*weight) : DefaultWeight;
    QString fontFace = face.typeId() == QMetaType::QString ? face.toString() : QString();
    if (fontFace.trimmed().isEmpty() || fontFace.size() > MaximumFaceLength)
        fontFace = DefaultFace;
    apply(Make(fontFace, fontSize, fontWeight, italic.value_or(0) != 0), fontSize);
}

void CCalcEditorFontSettings::saveSettings() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    settings.setValue(Tevra::FontFaceKey, font_.family());
    settings.setValue(Tevra::FontSizeKey, size_);
    settings.setValue(Tevra::FontWeightKey, static_cast<int>(font_.weight()));
    settings.setValue(Tevra::FontItalicKey, font_.italic() ? 1 : 0);
    settings.endGroup();
}
