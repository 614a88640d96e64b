// A keypad on the offscreen platform with a receiver that records what it
// is sent and prompts that answer in place of a person.
#pragma once

#include "desktop/services/CCalcSettingsNotifier.h"
#include "core/settings/CalcSettings.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/CCalcCmdReceiver.h"
#include "desktop/ui/keypad/CCalcKeyPad.h"
#include "desktop/ui/keypad/CCalcKeyPadPrompts.h"
#include "desktop/ui/keypad/CColorButton.h"

#include <QSettings>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

class RecordingReceiver final : public ICmdReceiver {
public:
    void Command(std::uint32_t code) override { sent.push_back("command " + std::to_string(code)); }
    void InsertText(std::u16string_view text) override
    {
        sent.push_back("text " + QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString());
    }

    std::vector<std::string> sent;
};

class FakeKeyPadPrompts final : public ICalcKeyPadPrompts {
public:
    std::optional<QColor> chooseColour(const QColor& current) override
    {
        coloursAsked.push_back(current);
        if (colourAnswers.empty())
            return std::nullopt;
        const QColor answer = colourAnswers.front();
        colourAnswers.pop_front();
        return answer;
    }
    std::optional<QFont> chooseFont(const QFont& current) override
    {
        fontsAsked.push_back(current);
        return fontAnswer;
    }
    void fontFailed() override { ++fontFailures; }

    std::deque<QColor> colourAnswers;  // none left: cancelled
    std::optional<QFont> fontAnswer;
    std::vector<QColor> coloursAsked;
    std::vector<QFont> fontsAsked;
    int fontFailures = 0;
};

// A value under "GUI/Keypad".
inline void StoreKeypadValue(const char* key, const QVariant& value)
{
    Tevra::ProgramSettings().setValue(QStringLiteral("GUI/Keypad/") + QLatin1String(key), value);
}
inline QVariant StoredKeypadValue(const char* key)
{
    return Tevra::ProgramSettings().value(QStringLiteral("GUI/Keypad/") + QLatin1String(key));
}

// A keypad of its own, wired to a recording receiver and to a settings
// record of the test's.
class KeypadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Tevra::ProgramSettings().clear();
        makeKeypad();
    }
    void TearDown() override
    {
        keypad.reset();
        Tevra::ProgramSettings().clear();
    }

    void makeKeypad()
    {
        keypad.reset();
        keypad = std::make_unique<CCalcKeyPad>();
        keypad->setPrompts(&prompts);
        keypad->SetReceiver(&receiver);
        keypad->followSettings(notifier);
    }

    // A keypad made afresh from what store() leaves in the settings (the
    // keypad of the moment writes its own look when it goes).
    template <typename Store> void restartWith(Store store)
    {
        keypad.reset();
        store();
        makeKeypad();
    }

    void click(int id)
    {
        CColorButton* button = keypad->button(id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }

    Tevra::CCalcSettings record;
    CCalcSettingsNotifier notifier{record};
    RecordingReceiver receiver;
    FakeKeyPadPrompts prompts;
    std::unique_ptr<CCalcKeyPad> keypad;
};
