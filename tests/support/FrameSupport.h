// A main frame on the offscreen platform with fresh process state and its
// dialogs answered by FakePrompts.
#pragma once

#include "desktop/services/PreferencesStore.h"
#include "support/DocFakePrompts.h"
#include "core/engine/Engine.h"
#include "desktop/frame/CCalcBar.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/frame/CCalcMainFrame.h"
#include "desktop/frame/CalcBars.h"
#include "desktop/ui/log/CCalcLog.h"

#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

inline QSettings ProgramStore()
{
    return Tevra::ProgramSettings();
}

inline CCalcBar* LogBar(const CCalcMainFrame& frame)
{
    return frame.bar(CalcBars::Log);
}

inline CCalcLog* LogPanel(const CCalcMainFrame& frame)
{
    return qobject_cast<CCalcLog*>(LogBar(frame)->panel());
}

// Waits until the calculation a command started has been applied to the
// document: there and then when it ended quickly, from the event loop when
// the machine is busy. The bound only guards against a hang.
inline bool CalculationApplied(const CCalcMainFrame& frame)
{
    return QTest::qWaitFor([&frame] { return !frame.document()->isCalculating(); }, 120000);
}

// A test that starts with an empty settings store and fresh process state,
// and leaves them so.
class FreshProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
    }
    void TearDown() override
    {
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
    }
};

// The program's bar rows followed by testRows, leaving out the program's rows
// whose bar or toggle a test row takes over.
inline std::vector<CalcBars::Info> ProgramBarsWith(const std::vector<CalcBars::Info>& testRows)
{
    std::vector<CalcBars::Info> rows;
    for (const CalcBars::Info& row : CalcBars::Bars()) {
        bool replaced = false;
        for (const CalcBars::Info& test : testRows)
            replaced = replaced || test.Bar == row.Bar || test.Toggle == row.Toggle;
        if (!replaced)
            rows.push_back(row);
    }
    rows.insert(rows.end(), testRows.begin(), testRows.end());
    return rows;
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
        frame = makeFrame();
        frame->setPrompts(&prompts);
    }
    void TearDown() override
    {
        frame.reset();
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
    }

    // Closes the frame as the user would (layout written) and makes a new one.
    void restartFrame()
    {
        prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
        frame->close();
        frame.reset();
        frame = makeFrame();
        frame->setPrompts(&prompts);
    }

    // The frame each test works on: the program's own, unless a test asks
    // for other bars.
    virtual std::unique_ptr<CCalcMainFrame> makeFrame() { return std::make_unique<CCalcMainFrame>(); }

    FakePrompts prompts;
    std::unique_ptr<CCalcMainFrame> frame;
};
