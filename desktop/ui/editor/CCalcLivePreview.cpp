#include "desktop/ui/editor/CCalcLivePreview.h"

#include <QTimerEvent>

#include "core/engine/Mistakes.h"
#include "core/settings/CalcSettings.h"
#include "desktop/services/QtText.h"
#include "core/formats/NumberFormat.h"
#include "desktop/ui/editor/CCalcView.h"
#include "core/engine/EngineState.h"

CCalcLivePreview::CCalcLivePreview(CCalcView* view) : QObject(view), view_(view)
{
    connect(view_, &CCalcView::textChanged, this, &CCalcLivePreview::schedule);
    connect(view_, &CCalcView::cursorPositionChanged, this, &CCalcLivePreview::schedule);
    connect(view_, &CCalcView::selectionChanged, this, &CCalcLivePreview::schedule);
    // A file just opened shows its notice until the user moves or types.
    connect(view_, &CCalcView::textLoaded, this, [this] {
        timer_.stop();
        show(QString());
    });
}

void CCalcLivePreview::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (enabled) {
        refresh();
    } else {
        timer_.stop();
        show(QString());
    }
}

void CCalcLivePreview::schedule()
{
    if (enabled_)
        timer_.start(DelayMilliseconds, this);
}

void CCalcLivePreview::refresh()
{
    if (!enabled_)
        return;
    if (busy_ && busy_()) {
        schedule();  // once the calculation is over
        return;
    }
    timer_.stop();
    const auto outcome =
        NCalculatorText::PreviewStatement(Tevra::ToU16View(view_->text()), IndexOf(view_->selectionStart()));
    show(DescribeOutcome(outcome, NCalculatorText::State().CalcSettings));
}

namespace {

// The first report, followed by its hint when the statement shows a known
// mistake: "Syntax error: a sign cannot follow an operator; write 2*(-3)".
QString Reason(const NCalculatorText::PreviewOutcome& outcome)
{
    if (!outcome.Hint.IsKnown())
        return Tevra::ToQString(outcome.Description);
    return Tevra::ToQString(NCalculatorText::HintLine(outcome.Description, outcome.Hint));
}

}  // namespace

QString CCalcLivePreview::DescribeOutcome(const NCalculatorText::PreviewOutcome& outcome,
                                          const Tevra::CCalcSettings& settings)
{
    using Kind = NCalculatorText::PreviewOutcome::Kind;
    switch (outcome.Outcome) {
    case Kind::Value: {
        QString shown = QStringLiteral("= ") +
            Tevra::ToQString(NCalculatorText::FormatNumberText(outcome.Value, settings.UpperCaseNumbers(),
                                                               settings.ResultDigits()));
        if (outcome.Reported)
            shown += QStringLiteral("  (") + Reason(outcome) + QStringLiteral(")");
        return shown;
    }
    case Kind::Failed:
        if (outcome.Reported)
            return Reason(outcome);
        // A list fails without a report; the hint says why.
        return outcome.Hint.IsKnown() ? Tevra::ToQString(outcome.Hint.Text) : QStringLiteral("No value");
    case Kind::NoStatement:
    case Kind::TooLong:
        break;
    }
    return {};
}

void CCalcLivePreview::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == timer_.timerId())
        refresh();
    else
        QObject::timerEvent(event);
}

void CCalcLivePreview::show(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    emit textChanged(text_);
}
