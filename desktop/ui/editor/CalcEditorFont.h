// What an editor font is: a face, a size in points, a weight on Qt's scale
// (400 normal, 700 bold) and upright or italic, drawn without underline or
// strike-out. The default is Courier New 15 pt, normal weight, upright; a font
// is the default only when all four are exactly that (the face's letter case
// counts).
#pragma once

#include <QFont>
#include <QString>

namespace CalcEditorFont {

inline const QString DefaultFace = QStringLiteral("Courier New");
constexpr int DefaultSize = 15;
constexpr int DefaultWeight = 400;
constexpr int MaximumSize = 1000;
constexpr int MaximumWeight = 1000;

// The font of face, size, weight and italic as the editor draws it; a face
// that is not installed falls back to a fixed-pitch one.
QFont Make(const QString& face, int size, int weight, bool italic);
QFont Default();
bool IsDefault(const QFont& font, int size);

}  // namespace CalcEditorFont
