#include "desktop/services/CalcListColumns.h"

#include "desktop/services/PreferencesStore.h"

#include <QHeaderView>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeView>

#include <algorithm>

namespace Tevra {

int SampleColumnWidth(const QTreeView& list, int column, const QString& sample, Qt::Alignment alignment)
{
    // The width the style needs to draw the sample in a cell.
    QStyleOptionViewItem cell;
    cell.initFrom(&list);
    cell.font = list.font();
    cell.fontMetrics = list.fontMetrics();
    cell.features = QStyleOptionViewItem::HasDisplay;
    cell.text = sample;
    cell.displayAlignment = alignment;
    const int cellWidth = list.style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), &list).width();
    return std::max(cellWidth, list.header()->sectionSizeHint(column));
}

int StoredColumnWidth(const QSettings& settings, const QString& key, const QTreeView& list, int fallback)
{
    const auto stored = ReadStoredInt32(settings, key);
    const bool usable = stored && *stored >= list.header()->minimumSectionSize() && *stored <= MaximumColumnWidth;
    return usable ? *stored : fallback;
}

}  // namespace Tevra
