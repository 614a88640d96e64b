// Column widths of the program's lists (the log, the memory window): the
// default width measured from a sample text, and the stored width read back
// with its checks.
#pragma once

#include <QString>
#include <Qt>

class QSettings;
class QTreeView;

namespace Tevra {

// A stored width beyond this is taken as garbage: no screen is that wide.
inline constexpr int MaximumColumnWidth = 10000;

// The width a cell of column needs to show sample without eliding it: the
// text's own width plus the margins the list draws around a cell, and never
// less than the heading needs.
int SampleColumnWidth(const QTreeView& list, int column, const QString& sample, Qt::Alignment alignment);

// The width stored under key in the current group of settings when it is a
// number from the header's minimum section size to MaximumColumnWidth;
// otherwise fallback.
int StoredColumnWidth(const QSettings& settings, const QString& key, const QTreeView& list, int fallback);

}  // namespace Tevra
