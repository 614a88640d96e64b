// An icon drawn from an SVG image in colours that read on the application's
// palette: each time it is drawn, the lines and fills that would not stand
// out from the window's background are made lighter on a dark palette or
// darker on a light one, so that one image serves light and dark desktops.
#pragma once

#include <QIcon>
#include <QString>

namespace Tevra {

// The icon of the SVG file at path (a resource path).
QIcon PaletteIcon(const QString& path);

}  // namespace Tevra
