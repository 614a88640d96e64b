#include "desktop/ui/editor/CalcEditorFont.h"

#include <algorithm>

namespace CalcEditorFont {

QFont Make(const QString& face, int size, int weight, bool italic)
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

QFont Default()
{
    return Make(DefaultFace, DefaultSize, DefaultWeight, false);
}

bool IsDefault(const QFont& font, int size)
{
    return size == DefaultSize && font.weight() == DefaultWeight && !font.italic() && font.family() == DefaultFace;
}

}  // namespace CalcEditorFont
