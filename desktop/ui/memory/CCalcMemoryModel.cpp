#include "desktop/ui/memory/CCalcMemoryModel.h"

#include "desktop/services/QtText.h"
#include "core/formats/NumberFormat.h"

#include <algorithm>
#include <array>
#include <climits>
#include <numeric>

namespace {

constexpr auto Headers = std::to_array<const char*>({"Incl", "N", "Cell", "Value"});
static_assert(Headers.size() == CCalcMemorySnapshot::ColumnCount, "one heading per column");

}  // namespace

CCalcMemoryModel::CCalcMemoryModel(QObject* parent) : QAbstractTableModel(parent) {}

Qt::Alignment CCalcMemoryModel::columnAlignment(int column)
{
    return (column == CCalcMemorySnapshot::NumberColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

int CCalcMemoryModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(std::min<std::size_t>(order_.size(), INT_MAX));
}

int CCalcMemoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : CCalcMemorySnapshot::ColumnCount;
}

QVariant CCalcMemoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const std::size_t row = snapshotIndex(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case CCalcMemorySnapshot::NumberColumn:
            return QString::number(static_cast<qulonglong>(row) + 1);
        case CCalcMemorySnapshot::CellColumn:
            return Tevra::ToQString(snapshot_.name(row));
        case CCalcMemorySnapshot::ValueColumn:
            // Formatted when shown: only the rows on screen cost anything.
            return Tevra::ToQString(NCalculatorText::FormatNumber(snapshot_.value(row), upperCase_, digits_));
        default:
            return {};
        }
    case Qt::CheckStateRole:
        if (column == CCalcMemorySnapshot::IncludeColumn)
            return snapshot_.included(row) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(column));
    case SnapshotIndexRole:
        return QVariant::fromValue(static_cast<qulonglong>(row));
    default:
        return {};
    }
}

bool CCalcMemoryModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::CheckStateRole ||
        index.column() != CCalcMemorySnapshot::IncludeColumn)
        return false;
    setIncluded(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags CCalcMemoryModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == CCalcMemorySnapshot::IncludeColumn)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

QVariant CCalcMemoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= CCalcMemorySnapshot::ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(Headers[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columnAlignment(section));
    return {};
}

void CCalcMemoryModel::rebuild(const Tevra::CMemoryMap& memory, Column sortColumn, bool ascending)
{
    beginResetModel();
    snapshot_.rebuild(memory);
    // The snapshot is in key order already: only another order sorts.
    if (sortColumn == CCalcMemorySnapshot::NumberColumn && ascending) {
        order_.resize(snapshot_.count());
        std::iota(order_.begin(), order_.end(), 0u);
    } else {
        order_ = snapshot_.sortedOrder(sortColumn, ascending);
    }
    endResetModel();
}

void CCalcMemoryModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= CCalcMemorySnapshot::ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<std::uint32_t> sorted = snapshot_.sortedOrder(static_cast<Column>(column), order == Qt::AscendingOrder);
    // Persistent indexes (the selection, the current row) stay on the
    // snapshot row they showed.
    const QModelIndexList persistent = persistentIndexList();
    if (!persistent.isEmpty()) {
        std::vector<int> newRow(sorted.size());
        for (std::size_t row = 0; row < sorted.size(); ++row)
            newRow[sorted[row]] = static_cast<int>(row);
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const QModelIndex& old : persistent)
            moved.append(index(newRow[order_[static_cast<std::size_t>(old.row())]], old.column()));
        changePersistentIndexList(persistent, moved);
    }
    order_ = std::move(sorted);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CCalcMemoryModel::rowOf(std::size_t snapshotIndex) const
{
    const auto found = std::find(order_.begin(), order_.end(), snapshotIndex);
    return found == order_.end() ? -1 : static_cast<int>(found - order_.begin());
}

void CCalcMemoryModel::setIncluded(int row, bool included)
{
    if (row < 0 || row >= rowCount())
        return;
    snapshot_.setIncluded(snapshotIndex(row), included);
    const QModelIndex changed = index(row, CCalcMemorySnapshot::IncludeColumn);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

void CCalcMemoryModel::includeRows(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (first > last)
        return;
    for (int row = first; row <= last; ++row)
        snapshot_.setIncluded(snapshotIndex(row), true);
    emit dataChanged(index(first, CCalcMemorySnapshot::IncludeColumn), index(last, CCalcMemorySnapshot::IncludeColumn),
                     {Qt::CheckStateRole});
}

void CCalcMemoryModel::invertIncluded()
{
    snapshot_.invertIncluded();
    announceColumn(CCalcMemorySnapshot::IncludeColumn);
}

void CCalcMemoryModel::clearIncluded()
{
    snapshot_.clearIncluded();
    announceColumn(CCalcMemorySnapshot::IncludeColumn);
}

void CCalcMemoryModel::setNumberFormat(bool upper, int digits)
{
    if (upper == upperCase_ && digits == digits_)
        return;
    upperCase_ = upper;
    digits_ = digits;
    announceColumn(CCalcMemorySnapshot::ValueColumn);
}

void CCalcMemoryModel::announceColumn(Column column)
{
    if (rowCount() == 0)
        return;
    emit dataChanged(index(0, column), index(rowCount() - 1, column),
                     {column == CCalcMemorySnapshot::IncludeColumn ? Qt::CheckStateRole : Qt::DisplayRole});
}

std::size_t CCalcMemoryModel::heapBytes() const
{
    return snapshot_.heapBytes() + order_.capacity() * sizeof(std::uint32_t);
}
