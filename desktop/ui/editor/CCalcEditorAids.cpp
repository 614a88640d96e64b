#include "desktop/ui/editor/CCalcEditorAids.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSettings>
#include <QTimer>

#include <algorithm>

#include "core/engine/EngineState.h"
#include "core/engine/Mistakes.h"
#include "desktop/services/CalcCommandBinder.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/services/QtText.h"
#include "desktop/ui/editor/CCalcCompletion.h"
#include "desktop/ui/editor/CCalcHighlighter.h"
#include "desktop/ui/editor/CCalcLivePreview.h"
#include "desktop/ui/editor/CCalcResultsMargin.h"
#include "core/engine/EngineState.h"
#include "core/engine/Preview.h"
#include "core/formats/NumberFormat.h"
#include "desktop/services/QtText.h"
#include "desktop/ui/editor/CCalcView.h"

namespace {

const QString SettingsGroup = QStringLiteral("GUI/Editor");
const QString LiveValueKey = QStringLiteral("LiveValue");
const QString HighlightingKey = QStringLiteral("Highlighting");
// The tag of a hint's spot mark: no log row's.
constexpr int HintSpotTag = -1;
const QString ResultsMarginKey = QStringLiteral("ResultsMargin");

bool ReadSwitch(const QSettings& settings, const QString& key)
{
    const auto stored = Tevra::ReadStoredInt32(settings, key);
    return !stored || *stored != 0;  // on unless stored as 0
}

}  // namespace

CCalcEditorAids::CCalcEditorAids(CCalcView* view)
    : QObject(view), view_(view), preview_(new CCalcLivePreview(view)), highlighter_(new CCalcHighlighter(view)),
      completion_(new CCalcCompletion(view, highlighter_->tokenIndex())), margin_(new CCalcResultsMargin(view)),
      unsetCellsTimer_(new QTimer(this))
{
    unsetCellsTimer_->setSingleShot(true);
    unsetCellsTimer_->setInterval(CCalcLivePreview::DelayMilliseconds);
    connect(unsetCellsTimer_, &QTimer::timeout, this, &CCalcEditorAids::markUnsetCells);
    connect(view_, &CCalcView::textChanged, this, &CCalcEditorAids::scheduleUnsetCells);
    setObjectName(QStringLiteral("EditorAids"));
    connect(preview_, &CCalcLivePreview::textChanged, this, &CCalcEditorAids::liveValueChanged);
    // The marks of a run go as soon as the text changes; they stay in place,
    // unseen, for the log's rows to select.
    connect(view_, &CCalcView::textChanged, this, &CCalcEditorAids::plainFindings);
    loadSettings();
}

CCalcEditorAids::~CCalcEditorAids()
{
    saveSettings();
}

void CCalcEditorAids::loadSettings()
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    const bool live = ReadSwitch(settings, LiveValueKey);
    const bool highlight = ReadSwitch(settings, HighlightingKey);
    margin_->setEnabled(ReadSwitch(settings, ResultsMarginKey));
    settings.endGroup();
    preview_->setEnabled(live);
    highlighting_ = !highlight;  // so that the call below applies it
    setHighlighting(highlight);
}

void CCalcEditorAids::saveSettings() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    settings.setValue(LiveValueKey, liveValue() ? 1 : 0);
    settings.setValue(HighlightingKey, highlighting_ ? 1 : 0);
    settings.setValue(ResultsMarginKey, resultsMargin() ? 1 : 0);
    settings.endGroup();
}

void CCalcEditorAids::bindCommands(ICalcCommandBinder& commands)
{
    using namespace CalcCommand;
    commands.bindCommand(
        LiveValue, [this] { setLiveValue(!liveValue()); }, {}, [this] { return liveValue(); });
    commands.bindCommand(
        Highlighting, [this] { setHighlighting(!highlighting()); }, {}, [this] { return highlighting(); });
    commands.bindCommand(
        ResultsMargin, [this] { setResultsMargin(!resultsMargin()); }, {}, [this] { return resultsMargin(); });
    commands.bindCommand(CopyValue, [this] { copyValue(); });
    connect(this, &CCalcEditorAids::switchesChanged, this, [&commands] { commands.refreshCommandStates(); });
}

bool CCalcEditorAids::liveValue() const
{
    return preview_->isEnabled();
}

void CCalcEditorAids::setLiveValue(bool on)
{
    if (on == liveValue())
        return;
    preview_->setEnabled(on);
    emit switchesChanged();
}

bool CCalcEditorAids::highlighting() const
{
    return highlighting_;
}

void CCalcEditorAids::setHighlighting(bool on)
{
    if (on == highlighting_)
        return;
    highlighting_ = on;
    highlighter_->setEnabled(on);
    completion_->setEnabled(on);
    if (!on)
        plainFindings();
    scheduleUnsetCells();
    emit switchesChanged();
}

bool CCalcEditorAids::resultsMargin() const
{
    return margin_->isEnabled();
}

void CCalcEditorAids::setResultsMargin(bool on)
{
    if (on == resultsMargin())
        return;
    margin_->setEnabled(on);
    emit switchesChanged();
}

QString CCalcEditorAids::valueToCopy() const
{
    double value = NCalculatorText::State().LastResult;
    const auto outcome =
        NCalculatorText::PreviewStatement(Tevra::ToU16View(view_->text()), IndexOf(view_->selectionStart()));
    if (outcome.Outcome == NCalculatorText::PreviewOutcome::Kind::Value)
        value = outcome.Value;
    return Tevra::ToQString(NCalculatorText::FormatNumberText(value));
}

void CCalcEditorAids::copyValue() const
{
    QGuiApplication::clipboard()->setText(valueToCopy());
}

void CCalcEditorAids::setEngineBusy(std::function<bool()> busy)
{
    busy_ = busy;
    preview_->setEngineBusy(busy);
    margin_->setEngineBusy(std::move(busy));
}

void CCalcEditorAids::refreshLiveValue()
{
    preview_->schedule();
    scheduleUnsetCells();
    margin_->rebase();
}

void CCalcEditorAids::scheduleUnsetCells()
{
    unsetCellsTimer_->start();
}

void CCalcEditorAids::markUnsetCells()
{
    std::vector<CCalcView::TextMark> marks;
    const QString& text = view_->text();
    if (highlighting_ && text.size() <= LongestTextForUnsetCells) {
        // The memory is the calculation's while one runs: look once it ends.
        if (busy_ && busy_())
            return;
        for (const NCalculatorText::StatementHint& cell :
             NCalculatorText::UnsetCellReferences(Tevra::ToU16View(text), NCalculatorText::State().MemoryMap))
            marks.push_back({static_cast<int>(cell.Start), static_cast<int>(cell.Length),
                             CCalcView::MarkStyle::DottedUnderline, 0, Tevra::ToQString(cell.Text)});
    }
    view_->setMarks(CCalcView::MarkLayer::Names, std::move(marks));
}

void CCalcEditorAids::calculationRunning(bool running)
{
    if (running) {
        completion_->close();
    } else {
        preview_->schedule();
        scheduleUnsetCells();
        margin_->calculationEnded();
    }
}

void CCalcEditorAids::calculationStarting()
{
    margin_->takeBaseNow();
}

void CCalcEditorAids::showRunReports(const std::vector<CCalcReportedStatement>& statements)
{
    std::vector<CCalcView::TextMark> marks;
    marks.reserve(statements.size());
    for (std::size_t row = 0; row < statements.size(); ++row) {
        const CCalcReportedStatement& statement = statements[row];
        if (statement.Start < 0)
            continue;
        CCalcView::MarkStyle style = CCalcView::MarkStyle::Plain;
        if (highlighting_)
            style = statement.isError() ? CCalcView::MarkStyle::ErrorUnderline : CCalcView::MarkStyle::WarningUnderline;
        const QString tip = Tevra::ToQString(statement.Hint);
        marks.push_back({statement.Start, statement.Length, style, static_cast<int>(row), tip});
        // The exact spot of the hint: a second, short mark under it.
        if (statement.HintStart >= 0)
            marks.push_back({statement.HintStart, statement.HintLength,
                             highlighting_ ? CCalcView::MarkStyle::Spot : CCalcView::MarkStyle::Plain, HintSpotTag,
                             tip});
    }
    view_->setMarks(CCalcView::MarkLayer::Findings, std::move(marks));
}

bool CCalcEditorAids::selectReport(int row)
{
    for (const CCalcView::TextMark& mark : view_->marks(CCalcView::MarkLayer::Findings)) {
        if (mark.Tag != row)
            continue;
        // The end first, then the start: the statement's start is what stays
        // in view when it is longer than the window.
        view_->scrollToPosition(mark.Start + mark.Length);
        view_->scrollToPosition(mark.Start);
        view_->setSelection(mark.Start, mark.Start + mark.Length);
        return true;
    }
    return false;
}

void CCalcEditorAids::plainFindings()
{
    // Called on every edit: the marks are copied only when some are drawn.
    const std::vector<CCalcView::TextMark>& shown = view_->marks(CCalcView::MarkLayer::Findings);
    if (std::all_of(shown.begin(), shown.end(),
                    [](const CCalcView::TextMark& mark) { return mark.Style == CCalcView::MarkStyle::Plain; }))
        return;
    std::vector<CCalcView::TextMark> marks = shown;
    for (CCalcView::TextMark& mark : marks)
        mark.Style = CCalcView::MarkStyle::Plain;
    view_->setMarks(CCalcView::MarkLayer::Findings, std::move(marks));
}
