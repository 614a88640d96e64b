// A main frame on the offscreen platform with fresh process state and its
// dialogs answered by FakePrompts.
#pragma once

#include "app/PreferencesStore.h"
#include "doc_fake_prompts.h"
#include "engine/Engine.h"
#include "ui/frame/CCalcMainFrame.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <memory>

inline QSettings ProgramStore()
{
    return QSettings(Tevra::SettingsOrganization, Tevra::SettingsApplication);
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
        frame = std::make_unique<CCalcMainFrame>();
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
        frame = std::make_unique<CCalcMainFrame>();
        frame->setPrompts(&prompts);
    }

    FakePrompts prompts;
    std::unique_ptr<CCalcMainFrame> frame;
};
