#include "ui/frame/CCalcStatusBar.h"

#include "engine/NumberFormat.h"
#include "ui/frame/CalcCommands.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>

namespace {

// Width templates: each pane is as wide as its longest text.
constexpr const char* PaneTemplates[CCalcStatusBar::PaneCount] = {
    "", "RESULT=-8.8888888888888888888E+888", "Grad", "SSE2", "CAP", "NUM",
};

// X11 modifier bits of caps lock and num lock.
constexpr quint32 X11LockMask = 0x02;
constexpr quint32 X11Mod2Mask = 0x10;

QString FromView(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

namespace Tevra {

std::u16string ResultPaneText(const CCalcSettings& settings, double lastResult)
{
    std::u16string text(settings.ResultKeyword());
    text += u'=';
    const std::string number = NCalculatorText::FormatNumber(lastResult, settings.NumberFormat());
    text.append(number.begin(), number.end());
    return text;
}

LockKeyState LockKeysFromNativeModifiers(quint32 nativeModifiers)
{
    return {(nativeModifiers & X11LockMask) != 0, (nativeModifiers & X11Mod2Mask) != 0};
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
            addWidget(label, 1);
            setNotice(QString());
            continue;
        }
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QLatin1String(PaneTemplates[pane])) + 8);
        addPermanentWidget(label);
    }
    // The lock keys are known only from key events, and only on X11.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
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
    panes_[ResultPane]->setText(FromView(Tevra::ResultPaneText(settings, lastResult)));
}

void CCalcStatusBar::refreshSSE2(const Tevra::CCalcSettings& settings)
{
    panes_[SSE2Pane]->setText(settings.SSE2Available && settings.UseSSE2 ? QStringLiteral("SSE2") : QString());
}

void CCalcStatusBar::setUnits(int units)
{
    const bool known = units >= 0 && units < static_cast<int>(Tevra::UnitsLabels.size());
    panes_[UnitsPane]->setText(FromView(Tevra::UnitsLabels[known ? static_cast<std::size_t>(units) : 0]));
}

void CCalcStatusBar::setLockKeys(Tevra::LockKeyState state)
{
    panes_[CapsPane]->setText(state.CapsLock ? QStringLiteral("CAP") : QString());
    panes_[NumPane]->setText(state.NumLock ? QStringLiteral("NUM") : QString());
}

void CCalcStatusBar::setNotice(const QString& notice)
{
    panes_[PromptPane]->setText(
        notice.isEmpty()
            ? QString::fromUtf8(CalcCommand::IdlePrompt.data(), static_cast<qsizetype>(CalcCommand::IdlePrompt.size()))
            : notice);
}

bool CCalcStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    // A key release carries the state after the key, so pressing caps lock
    // shows up when it is released.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->nativeModifiers() != 0 || key->nativeScanCode() != 0)
            setLockKeys(Tevra::LockKeysFromNativeModifiers(key->nativeModifiers()));
    }
    return QStatusBar::eventFilter(watched, event);
}
