// The memory window: the memory cells in a four-column list ("Incl", "N",
// "Cell", "Value") with a tick per row, and five buttons beside it: Free,
// Save, Statistics, Invert and Clear. The ticks are the cells' include
// flags; they choose the cells for freeing, saving and statistics. The list
// is a snapshot of the memory, rebuilt on the document's memory-change notice.
#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <span>
#include <vector>

#include "desktop/ui/memory/CCalcMemoryModel.h"

class CCalcSettingsNotifier;
class QAbstractButton;
class QTreeView;

// Usage by the frame:
//     auto* memory = new CCalcMemory(links, settingsNotifier, memoryBar);
//     connect(document, &CCalcDoc::memoryChanged, memory, &CCalcMemory::Refresh);
//     connect(memory, &CCalcMemory::statisticsRequested, ...);
// Column widths are read from "GUI/Memory" when the window is created and
// written back when it is destroyed (or by saveSettings()).
class CCalcMemory final : public QWidget {
    Q_OBJECT

public:
    using Column = CCalcMemorySnapshot::Column;

    // What the window asks of the program around it.
    struct Links {
        std::function<bool(const QString& question)> Confirm;  // Yes/No; true only for Yes
        std::function<void(bool all)> SaveMemoryFile;          // the file dialog and the file
        std::function<void()> NoticeMemoryChange;              // after a free of its own
    };

    enum Button { FreeButton = 0, SaveButton, StatisticsButton, InvertButton, ClearButton, ButtonCount };

    // The buttons, top to bottom: control id, the word it stands for (its
    // accessible name and tooltip), its icon, what it does and how many rows
    // the list must hold for it to be enabled. The help pages loop over it.
    // The control ids are fixed: they name each button's help anchor
    // ("memory#button-1068") and its object name ("Control1068"), by which
    // tests and assistive tools find it.
    struct ButtonInfo {
        int ControlId;
        const char* Word;
        const char* Icon;
        void (CCalcMemory::*Action)();
        std::size_t RowsNeeded;
    };
    static std::span<const ButtonInfo> ButtonTable();

    CCalcMemory(Links links, CCalcSettingsNotifier& settings, QWidget* parent = nullptr);
    ~CCalcMemory() override;

    // Rebuilds the list from the memory: the ticks go to the store first, so
    // they survive, then every row is read again, sorted as the list was
    // sorted. The document's notice calls it when the memory's Changed flag was set.
    void Refresh();

    // The buttons.
    void freeCells();
    void saveCells();
    void showStatistics();
    void invertTicks();
    void clearTicks();

    // A click on the heading of column: it becomes the sort column, or its
    // direction flips when it already is.
    void sortByColumn(int column);
    Column sortColumn() const { return sortColumn_; }
    bool sortAscending(Column column) const { return ascending_[column]; }

    // Writes the four column widths under "GUI/Memory".
    void saveSettings() const;
    // The default width of a column, measured from its sample text.
    int defaultColumnWidth(Column column) const;

    QTreeView* list() const { return list_; }
    CCalcMemoryModel* model() const { return model_; }
    QAbstractButton* button(Button which) const { return buttons_[which]; }

    QSize sizeHint() const override;

signals:
    // Statistics chose these values (in snapshot order): the statistics bar
    // shows them.
    void statisticsRequested(const std::vector<double>& values);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createList();
    void createButtons();
    void updateButtons();
    void fitNumberColumn();
    void loadSettings();
    // A click on a row outside the tick column ticks every selected row.
    void tickSelectedRows();
    void toggleCurrentRow();
    bool confirm(const QString& question) const;

    Links links_;
    CCalcSettingsNotifier& settings_;
    CCalcMemoryModel* model_ = nullptr;
    QTreeView* list_ = nullptr;
    std::array<QAbstractButton*, ButtonCount> buttons_{};
    // The sort column and one direction per column (true: ascending); they
    // survive rebuilds.
    Column sortColumn_ = CCalcMemorySnapshot::NumberColumn;
    std::array<bool, CCalcMemorySnapshot::ColumnCount> ascending_ = {false, true, true, true};
};
