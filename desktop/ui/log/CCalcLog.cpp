#include "desktop/ui/log/CCalcLog.h"

#include <algorithm>
#include <array>

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSettings>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "desktop/services/CalcHelpTopics.h"
#include "desktop/services/PaletteColors.h"
#include "desktop/services/CalcListColumns.h"
#include "core/settings/CalcSettings.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/services/QtText.h"
#include "core/engine/Mistakes.h"
#include "core/engine/EngineState.h"

namespace {

// The columns of the list, in order.
struct LogColumn {
    const char* Heading;
    Qt::Alignment Alignment;
    const char* WidthKey;    // value under "GUI/Log"
    const char* SampleText;  // the default width is this text's width
};

constexpr auto Columns = std::to_array<LogColumn>({
    {"N", Qt::AlignRight | Qt::AlignVCenter, "NumberWidth", "88"},
    {"Status", Qt::AlignLeft | Qt::AlignVCenter, "StatusWidth", "Warning"},
    {"Context", Qt::AlignLeft | Qt::AlignVCenter, "ContextWidth", "Archyperbolic cotangent"},
    {"Description", Qt::AlignLeft | Qt::AlignVCenter, "DescriptionWidth",
     "Operation resulted in partial loss of precision, result accepted as 0.12345678."},
});
static_assert(Columns.size() == CCalcLog::ColumnCount, "one row per column");

const QString SettingsGroup = QStringLiteral("GUI/Log");

const QColor ErrorColor(255, 0, 0);
const QColor WarningColor(0, 0, 255);
constexpr int StatusRole = Qt::UserRole;
constexpr int ReportCodeRole = Qt::UserRole + 1;
// The help topic of the mistake the row's hint explains; empty without one.
constexpr int MistakeTopicRole = Qt::UserRole + 2;

}  // namespace

CCalcLog::CCalcLog(QWidget* parent) : QWidget(parent), list_(new QTreeWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);

    list_->setColumnCount(ColumnCount);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSortingEnabled(false);
    list_->setTextElideMode(Qt::ElideRight);
    list_->header()->setSectionsClickable(false);
    list_->header()->setSectionsMovable(false);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(QHeaderView::Interactive);

    auto* heading = new QTreeWidgetItem;
    for (int c = 0; c < ColumnCount; ++c) {
        heading->setText(c, Tevra::ToQString(Columns[static_cast<std::size_t>(c)].Heading));
        heading->setTextAlignment(c, Columns[static_cast<std::size_t>(c)].Alignment);
    }
    list_->setHeaderItem(heading);

    loadSettings();
    connect(list_->header(), &QHeaderView::sectionResized, this, &CCalcLog::onSectionResized);
    list_->viewport()->installEventFilter(this);
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { emit rowActivated(list_->indexOfTopLevelItem(item), false); });
}

QColor CCalcLog::recordColor(bool error, const QPalette& palette)
{
    const QColor colour = error ? ErrorColor : WarningColor;
    // Light lists keep the log's own red and blue; on a dark list they are
    // made lighter until they read.
    const QColor base = palette.color(QPalette::Base);
    return Tevra::IsDarkPalette(palette) ? Tevra::ReadableOn(colour, base, Tevra::TextContrast) : colour;
}

int CCalcLog::heightForRows(int rows) const
{
    const int row = std::max(list_->fontMetrics().height() + 4, list_->sizeHintForRow(0));
    const int frame = 2 * list_->frameWidth();
    return list_->header()->sizeHint().height() + std::max(rows, 1) * row + frame;
}

QSize CCalcLog::sizeHint() const
{
    // Taken once: the bar's least size is the first answer, and the panel
    // keeps asking for that.
    if (!initialSize_.isValid())
        initialSize_ = QSize(list_->sizeHint().width(), heightForRows(InitialRows));
    return initialSize_;
}

CCalcLog::~CCalcLog()
{
    saveSettings();
}

void CCalcLog::publishAsLogReceiver()
{
    published_.emplace(*this);
}

void CCalcLog::Add(const NCalculatorText::LogRecord& record)
{
    const bool error = record.Status == 1;
    auto* item = new QTreeWidgetItem;
    const std::array<QString, ColumnCount> texts = {
        QString::number(list_->topLevelItemCount() + 1),
        error ? QStringLiteral("Error") : QStringLiteral("Warning"),
        Tevra::ToQString(record.Context),
        Tevra::ToQString(record.Description),
    };
    for (int c = 0; c < ColumnCount; ++c) {
        item->setText(c, texts[static_cast<std::size_t>(c)]);
        item->setTextAlignment(c, Columns[static_cast<std::size_t>(c)].Alignment);
        item->setForeground(c, recordColor(error, list_->palette()));
    }
    item->setData(NumberColumn, StatusRole, record.Status);
    item->setData(NumberColumn, ReportCodeRole, static_cast<int>(record.Code));
    // The tooltip repeats the description and adds the hint beside the
    // record as its second line; the columns stay as they are.
    QString tip = texts[DescriptionColumn];
    if (const NCalculatorText::MistakeRow* mistake = NCalculatorText::FindMistake(record.Hint.Kind)) {
        tip += QLatin1Char('\n') + Tevra::ToQString(record.Hint.Text);
        item->setData(NumberColumn, MistakeTopicRole, Tevra::ToQString(mistake->Topic));
    }
    for (int c = 0; c < ColumnCount; ++c)
        item->setToolTip(c, tip);
    list_->addTopLevelItem(item);
    scrollToLastRowSoon();
    emit recordAdded(rowCount());

    if (NCalculatorText::State().CalcSettings.LogPopup != 0)
        emit popupRequested();
}

void CCalcLog::scrollToLastRowSoon()
{
    // Scrolling lays out every row, so a run that reports thousands of
    // records scrolls once, after the last of them, not once per record.
    if (scrollPending_)
        return;
    scrollPending_ = true;
    QTimer::singleShot(0, this, [this] {
        scrollPending_ = false;
        if (const int rows = list_->topLevelItemCount(); rows > 0)
            list_->scrollToItem(list_->topLevelItem(rows - 1));
    });
}

void CCalcLog::Clear()
{
    list_->clear();
}

CalcHelp::Target CCalcLog::helpTargetAt(std::optional<QPoint> pos) const
{
    const QTreeWidgetItem* row = pos ? list_->itemAt(list_->viewport()->mapFrom(this, *pos)) : list_->currentItem();
    if (!pos && row != nullptr && !row->isSelected())
        row = nullptr;
    const int code = row != nullptr ? row->data(NumberColumn, ReportCodeRole).toInt() : NCalculatorText::NoError;
    if (const QString mistake = row != nullptr ? row->data(NumberColumn, MistakeTopicRole).toString() : QString();
        !mistake.isEmpty())
        return {CalcHelp::MistakeTopic(mistake), std::nullopt};
    if (code >= NCalculatorText::SyntaxError && code < NCalculatorText::NoError)
        return {CalcHelp::MessageTopic(code), std::nullopt};
    return {CalcHelp::Messages, std::nullopt};
}

int CCalcLog::rowCount() const
{
    return list_->topLevelItemCount();
}

int CCalcLog::defaultColumnWidth(Column column) const
{
    const LogColumn& columnInfo = Columns[static_cast<std::size_t>(column)];
    return Tevra::SampleColumnWidth(*list_, column, Tevra::ToQString(columnInfo.SampleText), columnInfo.Alignment);
}

bool CCalcLog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_->viewport() && event->type() == QEvent::Resize)
        fitDescriptionColumn();
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && list_->currentItem() != nullptr) {
            emit rowActivated(list_->indexOfTopLevelItem(list_->currentItem()), true);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CCalcLog::onSectionResized(int column, int /*oldWidth*/, int newWidth)
{
    if (fitting_)
        return;
    if (column == DescriptionColumn)
        descriptionWidth_ = newWidth;
    fitDescriptionColumn();
}

void CCalcLog::fitDescriptionColumn()
{
    if (descriptionWidth_ <= 0)
        return;  // not loaded yet
    int others = 0;
    for (int c = 0; c < DescriptionColumn; ++c)
        others += list_->columnWidth(c);
    const int width = std::max(descriptionWidth_, list_->viewport()->width() - others);
    if (list_->columnWidth(DescriptionColumn) == width)
        return;
    fitting_ = true;
    list_->setColumnWidth(DescriptionColumn, width);
    fitting_ = false;
}

void CCalcLog::loadSettings()
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    for (int c = 0; c < ColumnCount; ++c) {
        const QString key = Tevra::ToQString(Columns[static_cast<std::size_t>(c)].WidthKey);
        list_->setColumnWidth(
            c, Tevra::StoredColumnWidth(settings, key, *list_, defaultColumnWidth(static_cast<Column>(c))));
    }
    settings.endGroup();
    descriptionWidth_ = list_->columnWidth(DescriptionColumn);
    fitDescriptionColumn();
}

void CCalcLog::saveSettings() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    for (int c = 0; c < ColumnCount; ++c) {
        const int width = c == DescriptionColumn ? descriptionWidth_ : list_->columnWidth(c);
        settings.setValue(Tevra::ToQString(Columns[static_cast<std::size_t>(c)].WidthKey), width);
    }
    settings.endGroup();
}
