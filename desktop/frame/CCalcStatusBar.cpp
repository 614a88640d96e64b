#include "desktop/frame/CCalcStatusBar.h"

#include "core/formats/NumberFormat.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/QtText.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>

namespace {

// Width templates: each pane is as wide as its longest text.
constexpr auto PaneTemplates = std::to_array<const char*>({
    "",
    "RESULT=-8.8888888888888888888E+888",
    "Grad",
    "SSE2",
    "CAP",
    "NUM",
});
static_assert(PaneTemplates.size() == CCalcStatusBar::PaneCount, "one width template per pane");

}  // namespace

namespace Tevra {

std::u16string ResultPaneText(const CCalcSettings& settings, double lastResult)
{
    std::u16string text(settings.ResultKeyword());
    text += u'=';
    const std::string number =
        NCalculatorText::FormatNumber(lastResult, settings.NumberFormat(), settings.ResultDigits());
    text.append(number.begin(), number.end());
    return text;
}

}  // namespace Tevra

CCalcStatusBar::CCalcStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    for (int pane = 0; pane < PaneCount; ++pane) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Pane%1").arg(pane));
        panes_[pane] = label;
        if (pane == PromptPane) {
            // A long notice is cut at the pane's edge; it never widens the
            // window.
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            addWidget(label, 1);
            setNotice(QString());
            continue;
        }
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(
            label->fontMetrics().horizontalAdvance(QLatin1String(PaneTemplates[static_cast<std::size_t>(pane)])) + 8);
        addPermanentWidget(label);
    }
    // The lock keys as the keyboard shows them now, and again after every key
    // and whenever the program comes back to the front: a lock key pressed in
    // another program changes them too.
    setLockKeys(Tevra::ReadLockKeyIndicators());
    qApp->installEventFilter(this);
}

CCalcStatusBar::~CCalcStatusBar()
{
    qApp->removeEventFilter(this);
}

QString CCalcStatusBar::paneText(Pane pane) const
{
    return panes_[pane]->text();
}

void CCalcStatusBar::refreshResult(const Tevra::CCalcSettings& settings, double lastResult)
{
    panes_[ResultPane]->setText(Tevra::ToQString(Tevra::ResultPaneText(settings, lastResult)));
}

void CCalcStatusBar::refreshSSE2(const Tevra::CCalcSettings& settings)
{
    panes_[SSE2Pane]->setText(settings.SSE2Available && settings.UseSSE2 ? QStringLiteral("SSE2") : QString());
}

void CCalcStatusBar::setUnits(int units)
{
    const bool known = units >= 0 && units < static_cast<int>(Tevra::UnitsLabels.size());
    panes_[UnitsPane]->setText(Tevra::ToQString(Tevra::UnitsLabels[known ? static_cast<std::size_t>(units) : 0]));
}

void CCalcStatusBar::setLockKeys(std::optional<Tevra::LockKeyState> state)
{
    panes_[CapsPane]->setText(state && state->CapsLock ? QStringLiteral("CAP") : QString());
    panes_[NumPane]->setText(state && state->NumLock ? QStringLiteral("NUM") : QString());
}

void CCalcStatusBar::setNotice(const QString& notice)
{
    notice_ = notice;
    showPrompt();
}

void CCalcStatusBar::setLiveValue(const QString& value)
{
    liveValue_ = value;
    showPrompt();
}

void CCalcStatusBar::showPrompt()
{
    // A menu's prompt is a temporary message, drawn over this pane while the
    // menu is open.
    QString text = liveValue_.isEmpty() ? notice_ : liveValue_;
    if (text.isEmpty())
        text = Tevra::ToQString(CalcCommand::IdlePrompt);
    panes_[PromptPane]->setText(text);
}

bool CCalcStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    // A lock key changes its light when it is pressed; after the release the
    // state is read once more, whatever the key.
    // A key event reaches the filter once for its window and again for every
    // widget it passes; the window's turn is enough.
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyRelease && watched->isWindowType()) || type == QEvent::ApplicationActivate)
        setLockKeys(Tevra::ReadLockKeyIndicators());
    return QStatusBar::eventFilter(watched, event);
}
