// The six-pane status bar: command prompts, the last result, the angle unit,
// the SSE2 state and the caps-lock and num-lock indicators.
#pragma once

#include "core/settings/CalcSettings.h"
#include "desktop/frame/LockKeys.h"

#include <QStatusBar>

#include <array>
#include <string>

class QLabel;

namespace Tevra {

// The result pane's text: the result keyword, "=", and the value in the
// preferred number format ("Rslt=5", "RESULT=1E+021").
std::u16string ResultPaneText(const CCalcSettings& settings, double lastResult);

}  // namespace Tevra

class CCalcStatusBar final : public QStatusBar {
    Q_OBJECT

public:
    enum Pane { PromptPane = 0, ResultPane, UnitsPane, SSE2Pane, CapsPane, NumPane, PaneCount };

    explicit CCalcStatusBar(QWidget* parent = nullptr);
    ~CCalcStatusBar() override;

    QString paneText(Pane pane) const;

    // Result and SSE2 panes from the settings and the last result.
    void refreshResult(const Tevra::CCalcSettings& settings, double lastResult);
    void refreshSSE2(const Tevra::CCalcSettings& settings);
    void setUnits(int units);
    // The CAP and NUM panes; blank when the state is not known.
    void setLockKeys(std::optional<Tevra::LockKeyState> state);
    // A lasting note about the open file in the prompt pane, shown while no
    // command prompt is; empty brings back the idle prompt.
    void setNotice(const QString& notice);
    // The value of the statement at the caret ("= 5") in the prompt pane,
    // before the notice; empty when the caret stands in no statement.
    void setLiveValue(const QString& value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPrompt();

    std::array<QLabel*, PaneCount> panes_{};
    QString notice_;
    QString liveValue_;
};
