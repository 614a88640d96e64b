// The one settings notice: every place where the user changes the
// preferences announces the change exactly once, and what is derived from
// the settings follows it.
#include "support/FrameSupport.h"

#include "desktop/app/CCalcApp.h"
#include "desktop/services/CCalcPreferences.h"
#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/services/CCalcTrigonometricUnits.h"
#include "desktop/services/CalcCommands.h"
#include "core/settings/CalcSettings.h"
#include "desktop/frame/CCalcStatusBar.h"
#include "desktop/frame/CCalcToolBar.h"
#include "core/engine/EngineState.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTimer>

#include <functional>

namespace {

class SettingsNotice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
        ASSERT_TRUE(app.start({}));
    }
    void TearDown() override
    {
        app.frame()->close();
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
    }

    CCalcMainFrame& frame() { return *app.frame(); }

    // Runs the Preferences command; while its dialog is open, edit changes
    // its controls and the dialog is closed with OK (accept) or Cancel.
    void runPreferences(const std::function<void(CCalcPreferences&)>& edit, bool accept)
    {
        QTimer::singleShot(0, [edit, accept] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* dialog = qobject_cast<CCalcPreferences*>(modal);
            if (!dialog) {
                ADD_FAILURE() << "the Preferences dialog is not open";
                if (modal)
                    modal->close();
                return;
            }
            edit(*dialog);
            if (accept)
                dialog->accept();
            else
                dialog->reject();
        });
        frame().action(CalcCommand::Preferences)->trigger();
    }

    static void PickResultSpelling(CCalcPreferences& dialog, int index)
    {
        dialog.findChild<QComboBox*>(QStringLiteral("FormatResult"))->setCurrentIndex(index);
    }

    static void Pick(QComboBox* list, int index)
    {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    CCalcApp app;
};

TEST_F(SettingsNotice, EveryChangeIsAnnouncedOnce)
{
    struct Row {
        const char* name;
        std::function<void()> change;
        int notices;
    };
    const Row rows[] = {
        {"East notation", [&] { frame().action(CalcCommand::NotationEast)->trigger(); }, 1},
        {"West notation", [&] { frame().action(CalcCommand::NotationWest)->trigger(); }, 1},
        {"toolbar units list", [&] { Pick(frame().toolBar()->unitsList(), 1); }, 1},
        {"tool window units list", [&] { Pick(frame().unitsWindow()->list(), 2); }, 1},
        {"Preferences, OK", [&] { runPreferences([](CCalcPreferences& d) { PickResultSpelling(d, 3); }, true); }, 1},
        {"Preferences, Cancel", [&] { runPreferences([](CCalcPreferences& d) { PickResultSpelling(d, 5); }, false); },
         0},
    };
    for (const Row& row : rows) {
        QSignalSpy notices(&frame().settingsNotifier(), &CCalcSettingsNotifier::settingsChanged);
        row.change();
        EXPECT_EQ(notices.count(), row.notices) << row.name;
    }
    EXPECT_TRUE(NCalculatorText::State().CalcSettings.Modified);
}

TEST_F(SettingsNotice, WhatFollowsTheSettingsFollowsTheNotice)
{
    CCalcStatusBar* status = frame().calcStatusBar();
    EXPECT_EQ(status->paneText(CCalcStatusBar::ResultPane), QStringLiteral("Rslt=0"));
    runPreferences([](CCalcPreferences& d) { PickResultSpelling(d, 5); }, true);
    EXPECT_EQ(status->paneText(CCalcStatusBar::ResultPane), QStringLiteral("RESULT=0"));

    frame().action(CalcCommand::NotationEast)->trigger();
    EXPECT_TRUE(frame().action(CalcCommand::NotationEast)->isChecked());
    EXPECT_FALSE(frame().action(CalcCommand::NotationWest)->isChecked());

    // A record changed behind the program's back shows once announced.
    NCalculatorText::State().CalcSettings.TrigonometricUnits = 2;
    NCalculatorText::State().CalcSettings.Notation = 0;
    frame().settingsNotifier().announce();
    EXPECT_EQ(status->paneText(CCalcStatusBar::UnitsPane), QStringLiteral("Grad"));
    EXPECT_EQ(frame().toolBar()->unitsList()->currentIndex(), 2);
    EXPECT_EQ(frame().unitsWindow()->list()->currentIndex(), 2);
    EXPECT_TRUE(frame().action(CalcCommand::NotationWest)->isChecked());
}

}  // namespace
