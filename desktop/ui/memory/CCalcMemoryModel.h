// The memory window's list as a table model over the snapshot: the columns
// "Incl" (the tick, as the check state), "N", "Cell" and "Value", one row per
// snapshot row in the list's own sorted order. Each row names its snapshot
// row by index (SnapshotIndexRole), never by its position.
#pragma once

#include "core/formats/NumberFormat.h"
#include "desktop/ui/memory/CCalcMemorySnapshot.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

namespace Tevra {
class CMemoryMap;
}

class CCalcMemoryModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    using Column = CCalcMemorySnapshot::Column;
    static constexpr int SnapshotIndexRole = Qt::UserRole;

    explicit CCalcMemoryModel(QObject* parent = nullptr);

    // "N" is right-aligned, the other columns left-aligned.
    static Qt::Alignment columnAlignment(int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Reorders the rows by column (see CCalcMemorySnapshot::sortedOrder);
    // selections and other persistent indexes follow their rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Replaces every row by the cells of memory, listed in the order of
    // sortColumn (the key order is that of NumberColumn, ascending).
    void rebuild(const Tevra::CMemoryMap& memory, Column sortColumn, bool ascending);

    const CCalcMemorySnapshot& snapshot() const { return snapshot_; }
    // The snapshot row a list row shows.
    std::size_t snapshotIndex(int row) const { return order_[static_cast<std::size_t>(row)]; }
    // The list row that shows a snapshot row, or -1 (a search of the rows).
    int rowOf(std::size_t snapshotIndex) const;

    // Ticks. Each announces the change of the "Incl" column.
    void setIncluded(int row, bool included);
    // Ticks the rows first to last, announced as one change.
    void includeRows(int first, int last);
    void invertIncluded();
    void clearIncluded();
    std::size_t includedCount() const { return snapshot_.includedCount(); }
    // The store receives the ticks (SetInclude of every snapshot row).
    void pushIncluded(Tevra::CMemoryMap& memory) { snapshot_.pushIncluded(memory); }

    // Values are shown as "%.20g", or "%.20G" when upper is set, with digits
    // significant digits.
    void setNumberFormat(bool upper, int digits);

    // Bytes held by the snapshot and the row order (for the memory figures).
    std::size_t heapBytes() const;

private:
    void announceColumn(Column column);

    CCalcMemorySnapshot snapshot_;
    std::vector<std::uint32_t> order_;  // list row -> snapshot index
    bool upperCase_ = false;
    int digits_ = NCalculatorText::FullDigits;
};
