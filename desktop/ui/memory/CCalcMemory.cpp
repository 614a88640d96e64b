#include "desktop/ui/memory/CCalcMemory.h"

#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/services/CalcHelpTopics.h"
#include "desktop/services/CalcListColumns.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/services/CCalcPaletteIcon.h"
#include "desktop/services/QtText.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <utility>

namespace {

// The columns of the list, in order: the stored width's name and the text
// whose width is the default.
struct MemoryColumn {
    const char* WidthKey;
    const char* SampleText;
};

constexpr auto Columns = std::to_array<MemoryColumn>({
    {"IncludeWidth", " Incl "},
    {"NumberWidth", "88 "},
    {"CellWidth", "Long name"},
    {"ValueWidth", "+0.00000000000000000000E+000"},
});
static_assert(Columns.size() == CCalcMemorySnapshot::ColumnCount, "one row per column");

// clang-format off
constexpr auto Buttons = std::to_array<CCalcMemory::ButtonInfo>({
    {.ControlId = 1068, .Word = "Free", .Icon = ":/icons/memory-free.svg",
     .Action = &CCalcMemory::freeCells, .RowsNeeded = 1},
    {.ControlId = 1085, .Word = "Save", .Icon = ":/icons/memory-save-ticked.svg",
     .Action = &CCalcMemory::saveCells, .RowsNeeded = 1},
    {.ControlId = 1089, .Word = "Statistics", .Icon = ":/icons/statistics.svg",
     .Action = &CCalcMemory::showStatistics, .RowsNeeded = 2},
    {.ControlId = 1097, .Word = "Invert", .Icon = ":/icons/ticks-invert.svg",
     .Action = &CCalcMemory::invertTicks, .RowsNeeded = 1},
    {.ControlId = 1051, .Word = "Clear", .Icon = ":/icons/ticks-clear.svg",
     .Action = &CCalcMemory::clearTicks, .RowsNeeded = 1},
});
// clang-format on
static_assert(Buttons.size() == CCalcMemory::ButtonCount, "one row per button");

const QString SettingsGroup = QStringLiteral("GUI/Memory");

const QString EraseAllQuestion = QStringLiteral("You are about to erase all the memory.\nAre you sure?");
const QString EraseSelectedQuestion = QStringLiteral("You are about to erase selected memory.\nAre you sure?");
const QString OnlyOneCellQuestion = QStringLiteral("Only one cell selected\nCalculate for all cells?");

// The layout: the list leaves this much on the right for the buttons, which
// stand in a column this far from the right edge, one pitch apart.
constexpr int ButtonColumnWidth = 31;
constexpr int ButtonInset = 26;
constexpr int ButtonSize = 24;
constexpr int ButtonPitch = 28;
constexpr int IconSize = 16;

// Rows of the list the initial size shows.
constexpr int InitialRows = 8;
// On a small screen the window starts no wider than this share of the
// screen's work area (the bar takes its first size as its least), so that the
// editor beside it keeps its room; never narrower than NarrowestList.
constexpr double LargestScreenShare = 0.3;
constexpr int NarrowestList = 180;

}  // namespace

std::span<const CCalcMemory::ButtonInfo> CCalcMemory::ButtonTable()
{
    return Buttons;
}

CCalcMemory::CCalcMemory(Links links, CCalcSettingsNotifier& settings, QWidget* parent)
    : QWidget(parent), links_(std::move(links)), settings_(settings)
{
    createList();
    createButtons();
    loadSettings();
    CalcHelp::setTopic(this, CalcHelp::MemoryWindow);

    // Values follow the number format at once; the statistics wait for
    // their next computation.
    const auto followFormat = [this] {
        model_->setNumberFormat(settings_.record().UpperCaseNumbers(), settings_.record().ResultDigits());
    };
    connect(&settings_, &CCalcSettingsNotifier::settingsChanged, this, followFormat);
    followFormat();

    // The memory may hold cells before the window exists; the flag stays for
    // the document's notice.
    model_->rebuild(NCalculatorText::State().MemoryMap, sortColumn_, ascending_[sortColumn_]);
    fitNumberColumn();
    updateButtons();
}

CCalcMemory::~CCalcMemory()
{
    saveSettings();
}

void CCalcMemory::createList()
{
    model_ = new CCalcMemoryModel(this);
    list_ = new QTreeView(this);
    list_->setObjectName(QStringLiteral("MemoryList"));
    list_->setAccessibleName(QStringLiteral("Memory"));
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setTextElideMode(Qt::ElideRight);
    list_->setSortingEnabled(false);  // the window's own rules sort

    QHeaderView* header = list_->header();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSortIndicator(sortColumn_, Qt::AscendingOrder);
    connect(header, &QHeaderView::sectionClicked, this, &CCalcMemory::sortByColumn);

    connect(list_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() != CCalcMemorySnapshot::IncludeColumn)
            tickSelectedRows();
    });
    list_->installEventFilter(this);
}

void CCalcMemory::createButtons()
{
    for (std::size_t i = 0; i < Buttons.size(); ++i) {
        const ButtonInfo& info = Buttons[i];
        auto* button = new QToolButton(this);
        const QString word = Tevra::ToQString(info.Word);
        button->setObjectName(QStringLiteral("Control%1").arg(info.ControlId));
        button->setText(word);
        button->setToolTip(word);
        CalcHelp::setTopic(button, CalcHelp::MemoryButtonTopic(info.ControlId));
        button->setAccessibleName(word);
        button->setIcon(Tevra::PaletteIcon(Tevra::ToQString(info.Icon)));
        button->setIconSize(QSize(IconSize, IconSize));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setFixedSize(ButtonSize, ButtonSize);
        button->setEnabled(false);
        connect(button, &QToolButton::clicked, this, [this, action = info.Action] { (this->*action)(); });
        buttons_[i] = button;
    }
}

void CCalcMemory::Refresh()
{
    // Ticks live in the list between rebuilds; the store keeps them across.
    model_->pushIncluded(NCalculatorText::State().MemoryMap);
    const int scrolled = list_->verticalScrollBar()->value();
    model_->rebuild(NCalculatorText::State().MemoryMap, sortColumn_, ascending_[sortColumn_]);
    // The user keeps the place they were looking at.
    list_->doItemsLayout();
    list_->verticalScrollBar()->setValue(scrolled);
    fitNumberColumn();
    updateButtons();
}

void CCalcMemory::fitNumberColumn()
{
    // "N" widens to show its largest number whole: an elided row number
    // says nothing. It never narrows below the width the user gave it.
    const QString largest(QString::number(static_cast<qulonglong>(model_->snapshot().count())).size(),
                          QLatin1Char('8'));
    const int needed = Tevra::SampleColumnWidth(*list_, CCalcMemorySnapshot::NumberColumn, largest + QLatin1Char(' '),
                                                CCalcMemoryModel::columnAlignment(CCalcMemorySnapshot::NumberColumn));
    if (list_->columnWidth(CCalcMemorySnapshot::NumberColumn) < needed)
        list_->setColumnWidth(CCalcMemorySnapshot::NumberColumn, needed);
}

void CCalcMemory::updateButtons()
{
    const std::size_t rows = model_->snapshot().count();
    for (std::size_t i = 0; i < Buttons.size(); ++i)
        buttons_[i]->setEnabled(rows >= Buttons[i].RowsNeeded);
}

void CCalcMemory::freeCells()
{
    const std::size_t ticked = model_->includedCount();
    const std::uint32_t confirmation = settings_.record().FreeConfirmation;
    if (ticked == 0 || ticked == model_->snapshot().count()) {
        if (confirmation > 0 && !confirm(EraseAllQuestion))
            return;
        NCalculatorText::State().MemoryMap.FreeAll();
    } else {
        if (confirmation > 1 && !confirm(EraseSelectedQuestion))
            return;
        model_->pushIncluded(NCalculatorText::State().MemoryMap);
        NCalculatorText::State().MemoryMap.FreeIncluded();
    }
    if (links_.NoticeMemoryChange)
        links_.NoticeMemoryChange();
}

void CCalcMemory::saveCells()
{
    if (!links_.SaveMemoryFile)
        return;
    if (model_->includedCount() == 0) {
        links_.SaveMemoryFile(true);
        return;
    }
    model_->pushIncluded(NCalculatorText::State().MemoryMap);
    links_.SaveMemoryFile(false);
}

bool CCalcMemory::confirm(const QString& question) const
{
    // Without anyone to answer, the answer is No: nothing is erased.
    return links_.Confirm && links_.Confirm(question);
}

void CCalcMemory::showStatistics()
{
    const std::size_t ticked = model_->includedCount();
    if (ticked == 1 && !confirm(OnlyOneCellQuestion))
        return;
    emit statisticsRequested(model_->snapshot().values(ticked >= 2));
}

void CCalcMemory::invertTicks()
{
    model_->invertIncluded();
}

void CCalcMemory::clearTicks()
{
    model_->clearIncluded();
}

void CCalcMemory::sortByColumn(int column)
{
    if (column < 0 || column >= CCalcMemorySnapshot::ColumnCount)
        return;
    const auto sorted = static_cast<Column>(column);
    if (sorted == sortColumn_) {
        ascending_[sorted] = !ascending_[sorted];
    } else {
        sortColumn_ = sorted;
        // The ticked rows come first when a list is first sorted by its ticks.
        ascending_[sorted] = sorted != CCalcMemorySnapshot::IncludeColumn;
    }
    const Qt::SortOrder order = ascending_[sorted] ? Qt::AscendingOrder : Qt::DescendingOrder;
    model_->sort(sorted, order);
    list_->header()->setSortIndicator(sorted, order);
}

void CCalcMemory::tickSelectedRows()
{
    const QItemSelection selection = list_->selectionModel()->selection();
    for (const QItemSelectionRange& range : selection)
        model_->includeRows(range.top(), range.bottom());
}

void CCalcMemory::toggleCurrentRow()
{
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid())
        return;
    model_->setIncluded(current.row(), !model_->snapshot().included(model_->snapshotIndex(current.row())));
}

bool CCalcMemory::eventFilter(QObject* watched, QEvent* event)
{
    // Space ticks or unticks the current row, whichever column has the focus.
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            toggleCurrentRow();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CCalcMemory::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    list_->setGeometry(0, 0, std::max(0, w - ButtonColumnWidth), height());
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->move(w - ButtonInset, static_cast<int>(i) * ButtonPitch);
}

QSize CCalcMemory::sizeHint() const
{
    int columns = 0;
    for (int c = 0; c < CCalcMemorySnapshot::ColumnCount; ++c)
        columns += list_->columnWidth(c);
    const int frame = 2 * list_->frameWidth();
    const int listWidth = columns + frame + list_->verticalScrollBar()->sizeHint().width();
    const int rowHeight = list_->fontMetrics().height() + 4;
    const int listHeight = list_->header()->sizeHint().height() + InitialRows * rowHeight + frame;
    const int buttonsHeight = (ButtonCount - 1) * ButtonPitch + ButtonSize;
    int width = listWidth + ButtonColumnWidth;
    if (const QScreen* shown = screen(); shown != nullptr) {
        const int share = static_cast<int>(shown->availableGeometry().width() * LargestScreenShare);
        width = std::min(width, std::max(share, NarrowestList + ButtonColumnWidth));
    }
    return {width, std::max(listHeight, buttonsHeight)};
}

int CCalcMemory::defaultColumnWidth(Column column) const
{
    const MemoryColumn& info = Columns[column];
    const int width = Tevra::SampleColumnWidth(*list_, column, Tevra::ToQString(info.SampleText),
                                               CCalcMemoryModel::columnAlignment(column));
    if (column != CCalcMemorySnapshot::IncludeColumn)
        return width;
    // The tick box stands in the column too.
    const int indicator = list_->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list_);
    return std::max(width,
                    indicator + 2 * list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 4);
}

void CCalcMemory::loadSettings()
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    for (int c = 0; c < CCalcMemorySnapshot::ColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        const QString key = Tevra::ToQString(Columns[column].WidthKey);
        list_->setColumnWidth(c, Tevra::StoredColumnWidth(settings, key, *list_, defaultColumnWidth(column)));
    }
    settings.endGroup();
}

void CCalcMemory::saveSettings() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    for (int c = 0; c < CCalcMemorySnapshot::ColumnCount; ++c)
        settings.setValue(Tevra::ToQString(Columns[static_cast<std::size_t>(c)].WidthKey), list_->columnWidth(c));
    settings.endGroup();
}
