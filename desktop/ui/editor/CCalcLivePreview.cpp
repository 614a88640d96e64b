#include "desktop/ui/editor/CCalcLivePreview.h"

#include <QTimerEvent>

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

QString CCalcLivePreview::DescribeOutcome(const NCalculatorText::PreviewOutcome& outcome,
                                          const Tevra::CCalcSettings& settings)
{
    using Kind = NCalculatorText::PreviewOutcome::Kind;
    switch (outcome.Outcome) {
    case Kind::Value: {
        QString shown = QStringLiteral("= ") +
            Tevra::ToQString(NCalculatorText::FormatNumberText(outcome.Value, settings.UpperCaseNumbers()));
        if (outcome.Reported)
            shown += QStringLiteral("  (") + Tevra::ToQString(outcome.Description) + QStringLiteral(")");
        return shown;
    }
    case Kind::Failed:
        return outcome.Reported ? Tevra::ToQString(outcome.Description) : QStringLiteral("No value");
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
