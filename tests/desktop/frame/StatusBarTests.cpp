// The status bar's lock-key panes and file notice where the platform cannot
// tell the lock state (the offscreen platform of the widget tests).
#include "desktop/frame/CCalcStatusBar.h"

#include <gtest/gtest.h>

namespace {

TEST(StatusBarPanes, LockPanesAreBlankWhereThePlatformCannotTell)
{
    EXPECT_FALSE(Tevra::ReadLockKeyIndicators().has_value());
    CCalcStatusBar bar;
    EXPECT_EQ(bar.paneText(CCalcStatusBar::CapsPane), QString());
    EXPECT_EQ(bar.paneText(CCalcStatusBar::NumPane), QString());
}

TEST(StatusBarPanes, ANoticeReplacesTheIdlePromptUntilCleared)
{
    CCalcStatusBar bar;
    EXPECT_EQ(bar.paneText(CCalcStatusBar::PromptPane), QStringLiteral("Ready"));
    bar.setNotice(QStringLiteral("This file holds 2 bytes after its text that the editor does not show"));
    EXPECT_EQ(bar.paneText(CCalcStatusBar::PromptPane),
              QStringLiteral("This file holds 2 bytes after its text that the editor does not show"));
    bar.setNotice(QString());
    EXPECT_EQ(bar.paneText(CCalcStatusBar::PromptPane), QStringLiteral("Ready"));
}

}  // namespace
