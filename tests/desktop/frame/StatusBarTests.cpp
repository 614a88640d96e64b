// The status bar's lock-key panes and file notice where the platform cannot
// tell the lock state (the offscreen platform of the widget tests).
#include "desktop/frame/CCalcStatusBar.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/QtText.h"

#include <gtest/gtest.h>

namespace {

const QString Idle = Tevra::ToQString(CalcCommand::IdlePrompt);

TEST(StatusBarPanes, LockPanesAreBlankWhereThePlatformCannotTell)
{
    EXPECT_FALSE(Tevra::ReadLockKeyIndicators().has_value());
    CCalcStatusBar bar;
    EXPECT_EQ(bar.paneText(CCalcStatusBar::CapsPane), QString());
    EXPECT_EQ(bar.paneText(CCalcStatusBar::NumPane), QString());
}

TEST(StatusBarPanes, TheIdlePromptSaysHowToCalculate)
{
    CCalcStatusBar bar;
    const QString idle = bar.paneText(CCalcStatusBar::PromptPane);
    EXPECT_TRUE(idle.startsWith(QStringLiteral("Ready"))) << idle.toStdString();
    for (const char* key : {"Ctrl+=", "Ctrl+Return", "Ctrl+Shift+="})
        EXPECT_TRUE(idle.contains(QLatin1String(key))) << key;
}

TEST(StatusBarPanes, ANoticeReplacesTheIdlePromptUntilCleared)
{
    CCalcStatusBar bar;
    EXPECT_EQ(bar.paneText(CCalcStatusBar::PromptPane), Idle);
    bar.setNotice(QStringLiteral("This file holds 2 bytes after its text that the editor does not show"));
    EXPECT_EQ(bar.paneText(CCalcStatusBar::PromptPane),
              QStringLiteral("This file holds 2 bytes after its text that the editor does not show"));
    bar.setNotice(QString());
    EXPECT_EQ(bar.paneText(CCalcStatusBar::PromptPane), Idle);
}

}  // namespace
