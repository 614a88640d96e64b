// The keypad in the program's frame: its bar, composing and calculating with
// the mouse alone, its keys while it has the focus, the Set > Keypad menu
// with and without a visual theme, F1, the notation commands, and its size.
#include "support/FrameSupport.h"
#include "support/KeypadSupport.h"

#include "desktop/services/CCalcHelpRequests.h"
#include "desktop/services/CalcCommands.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcView.h"
#include "core/engine/EngineState.h"

#include <QSignalSpy>
#include <QStyleFactory>

namespace {

using namespace CalcCommand;

class KeypadInFrame : public FrameTest {
protected:
    CCalcBar* bar() const { return frame->bar(CalcBars::Keypad); }
    CCalcKeyPad* keypad() const { return qobject_cast<CCalcKeyPad*>(bar()->panel()); }

    void showFrame()
    {
        frame->showWithStoredPlacement();
        QCoreApplication::processEvents();
    }

    // Clicks the buttons of ids in turn, as the mouse does.
    void press(std::initializer_list<int> ids)
    {
        for (const int id : ids) {
            CColorButton* button = keypad()->button(id);
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        }
    }

    void setText(const QString& text, int caret)
    {
        frame->view()->loadText(text);
        frame->view()->setSelection(caret, caret);
    }

    void setNotation(std::uint32_t notation, std::uint32_t upper)
    {
        NCalculatorText::State().CalcSettings.Notation = notation;
        NCalculatorText::State().CalcSettings.NotationCase = upper;
        frame->settingsNotifier().announce();
        QCoreApplication::processEvents();
    }

    void TearDown() override
    {
        FrameTest::TearDown();
        NCalculatorText::State().CalcSettings = Tevra::CCalcSettings{};
    }
};

TEST_F(KeypadInFrame, TheKeypadBarIsDockedAtTheBottomUnderTheLog)
{
    showFrame();
    ASSERT_NE(keypad(), nullptr);
    EXPECT_EQ(bar()->windowTitle(), QStringLiteral("Keypad"));
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_EQ(frame->dockWidgetArea(bar()), Qt::BottomDockWidgetArea);
    EXPECT_GT(bar()->y(), LogBar(*frame)->y()) << "a row of its own, below the log";
    EXPECT_EQ(keypad()->size(), keypad()->currentLayout().Panel);
    EXPECT_TRUE(frame->action(ToggleKeypad)->isChecked());
}

TEST_F(KeypadInFrame, TheMouseAloneComposesAndCalculates)
{
    showFrame();
    frame->view()->setFocus();
    press({1007, 1018, 1008, 1016, 1009, 1001});
    EXPECT_EQ(frame->view()->text(), QStringLiteral("1+2\u00D73=7"));
    EXPECT_TRUE(frame->view()->hasFocus()) << "the editor keeps its caret while the mouse works";
    press({1071, 1029, 1048, 1021, 1001});
    EXPECT_EQ(frame->view()->text(), QStringLiteral("1+2\u00D73=7;\ntan(\u03C0)=-1.2246467991473532072e-016"));
}

TEST_F(KeypadInFrame, EqualsButtonsCalculateExactlyAsTheirKeys)
{
    showFrame();
    struct Row {
        const char* text;
        int caret;
        int button;
        Qt::KeyboardModifiers keys;
    };
    for (const Row row : {Row{"2+3;4*5", 7, 1001, Qt::ControlModifier}, Row{"2+3;4*5", 1, 1001, Qt::ControlModifier},
                          Row{"2+3;4*5", 1, 1062, Qt::ControlModifier | Qt::ShiftModifier},
                          Row{"1/0;2", 0, 1062, Qt::ControlModifier | Qt::ShiftModifier}}) {
        setText(QString::fromUtf8(row.text), row.caret);
        press({row.button});
        const QString byButton = frame->view()->text();
        const int caretByButton = frame->view()->position();
        setText(QString::fromUtf8(row.text), row.caret);
        // A US keyboard: Shift turns "=" into "+".
        QTest::keyClick(frame->view(), row.keys.testFlag(Qt::ShiftModifier) ? Qt::Key_Plus : Qt::Key_Equal, row.keys);
        ASSERT_TRUE(CalculationApplied(*frame));
        EXPECT_EQ(byButton, frame->view()->text()) << row.text << " " << row.button;
        EXPECT_EQ(caretByButton, frame->view()->position()) << row.text << " " << row.button;
    }
}

TEST_F(KeypadInFrame, EditingButtonsActAsTheDocumentsCommands)
{
    showFrame();
    setText(QStringLiteral("12+3"), 4);
    press({1050});
    EXPECT_EQ(frame->view()->text(), QStringLiteral("12+"));
    press({1063});
    EXPECT_EQ(frame->view()->text(), QStringLiteral("12+\n")) << "Enter is one line break";
    press({1051});
    EXPECT_EQ(frame->view()->text(), QString());
    frame->view()->undo();
    EXPECT_EQ(frame->view()->text(), QStringLiteral("12+\n")) << "Clear can be undone";

    setText(QStringLiteral("5->mem[a]"), 0);
    press({1001});
    ASSERT_EQ(NCalculatorText::State().MemoryMap.Count(), 1u);
    prompts.confirmAnswer = true;
    press({1068});
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 0u);
    EXPECT_EQ(prompts.questions.size(), 1) << "Free asks first";
}

TEST_F(KeypadInFrame, TheFramesKeysWorkWhileAKeypadButtonHasTheFocus)
{
    showFrame();
    setText(QStringLiteral("6*7"), 3);
    CColorButton* button = keypad()->button(1013);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Equal, Qt::ControlModifier);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(frame->view()->text(), QStringLiteral("6*7=42"));
    QTest::keyClick(button, Qt::Key_K, Qt::ControlModifier);
    EXPECT_FALSE(bar()->isVisible());
    EXPECT_FALSE(frame->action(ToggleKeypad)->isChecked());
}

TEST_F(KeypadInFrame, F1OverAButtonReachesTheFramesHelpEntry)
{
    showFrame();
    QSignalSpy asked(&frame->helpRequests(), &CCalcHelpRequests::contextRequested);
    CColorButton* button = keypad()->button(1062);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_F1);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).value<std::uint32_t>(), 1062u + 0x80660000u);
}

TEST_F(KeypadInFrame, F1WithThePointerOverAButtonAsksForThatButtonWhileTheEditorHasTheFocus)
{
    showFrame();
    frame->activateWindow();
    frame->view()->setFocus();
    QSignalSpy asked(&frame->helpRequests(), &CCalcHelpRequests::contextRequested);
    CColorButton* button = keypad()->button(1039);
    QTest::mouseMove(button, button->rect().center());
    QCoreApplication::processEvents();
    ASSERT_TRUE(button->isHovered());
    QTest::keyClick(frame->view(), Qt::Key_F1);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).value<std::uint32_t>(), 1039u + 0x80660000u);
    EXPECT_TRUE(frame->view()->text().isEmpty()) << "the editor does not see the key";

    QTest::mouseMove(frame->view()->viewport(), QPoint(5, 5));
    QCoreApplication::processEvents();
    EXPECT_FALSE(button->isHovered());
    QTest::keyClick(frame->view(), Qt::Key_F1);
    EXPECT_EQ(asked.count(), 1) << "away from the keypad F1 is the frame's";
}

TEST_F(KeypadInFrame, NotationCommandsRelabelTheButtons)
{
    showFrame();
    frame->action(NotationEast)->trigger();
    EXPECT_EQ(keypad()->button(1029)->text(), QStringLiteral("tg"));
    frame->action(NotationWest)->trigger();
    EXPECT_EQ(keypad()->button(1029)->text(), QStringLiteral("tan"));
}

TEST_F(KeypadInFrame, UpperEastWidensTheDockedBarAndLowerShrinksItAgain)
{
    showFrame();
    const int lowerWidth = keypad()->wholeSize().width();
    const int lowerAsked = bar()->widget()->sizeHint().width();
    setNotation(1, 1);
    EXPECT_GT(keypad()->wholeSize().width(), lowerWidth);
    EXPECT_GT(bar()->widget()->sizeHint().width(), lowerAsked);
    EXPECT_EQ(keypad()->size(), keypad()->currentLayout().Panel);
    setNotation(1, 0);
    EXPECT_EQ(keypad()->wholeSize().width(), lowerWidth);
    EXPECT_EQ(bar()->widget()->sizeHint().width(), lowerAsked);
}

TEST_F(KeypadInFrame, AFloatingKeypadFollowsItsPanelsSize)
{
    showFrame();
    bar()->setFloating(true);
    QCoreApplication::processEvents();
    const QSize lower = bar()->size();
    setNotation(1, 1);
    QCoreApplication::processEvents();
    EXPECT_GT(bar()->width(), lower.width());
    setNotation(0, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar()->size(), lower);
}

// The Set > Keypad menu: which style items are checked and enabled, with and
// without a visual theme, for each stored style.
TEST_F(KeypadInFrame, StyleItemsFollowTheStoredStyleAndTheTheme)
{
    std::unique_ptr<QStyle> classic(QStyleFactory::create(QStringLiteral("windows")));
    ASSERT_NE(classic, nullptr);
    struct Row {
        Keypad::Style stored;
        bool theme;
        int checked;
    };
    const int items[] = {KeypadStyle2000, KeypadStyleVossek, KeypadStyleXP, KeypadStyleVista};
    for (const Row row :
         {Row{Keypad::Style2000, true, KeypadStyleVista}, Row{Keypad::Style2000, false, KeypadStyle2000},
          Row{Keypad::StyleVossek, true, KeypadStyleVossek}, Row{Keypad::StyleXP, true, KeypadStyleXP},
          Row{Keypad::StyleXP, false, KeypadStyleVossek}, Row{Keypad::StyleVista, false, KeypadStyleVossek}}) {
        keypad()->setStyle(row.theme ? nullptr : classic.get());
        keypad()->setStoredStyle(row.stored);
        frame->refreshCommandStates();
        for (const int item : items) {
            EXPECT_EQ(frame->action(item)->isChecked(), item == row.checked)
                << "stored " << row.stored << " theme " << row.theme << " item " << item;
        }
        EXPECT_EQ(frame->action(KeypadStyle2000)->isEnabled(), !row.theme);
        EXPECT_TRUE(frame->action(KeypadStyleVossek)->isEnabled());
        EXPECT_EQ(frame->action(KeypadStyleXP)->isEnabled(), row.theme);
        EXPECT_EQ(frame->action(KeypadStyleVista)->isEnabled(), row.theme);
    }
    keypad()->setStyle(nullptr);
}

TEST_F(KeypadInFrame, MenuItemsCarryOutTheirCommandsWithTheirCheckMarks)
{
    FakeKeyPadPrompts answers;
    keypad()->setPrompts(&answers);
    frame->action(KeypadStyleXP)->trigger();
    EXPECT_EQ(keypad()->appearance().StoredStyle, Keypad::StyleXP);
    EXPECT_TRUE(frame->action(KeypadStyleXP)->isChecked());
    EXPECT_FALSE(frame->action(KeypadStyleVossek)->isChecked());

    EXPECT_TRUE(frame->action(KeypadFontDefault)->isChecked());
    frame->action(KeypadFontSystem)->trigger();
    EXPECT_TRUE(frame->action(KeypadFontSystem)->isChecked());
    EXPECT_FALSE(frame->action(KeypadFontDefault)->isChecked());

    EXPECT_TRUE(frame->action(KeypadTextColorDefault)->isChecked());
    frame->action(KeypadTextColorSystem)->trigger();
    EXPECT_TRUE(frame->action(KeypadTextColorSystem)->isChecked());
    EXPECT_FALSE(frame->action(KeypadTextColorDefault)->isChecked());
    frame->action(KeypadTextColorDefault)->trigger();
    EXPECT_FALSE(frame->action(KeypadTextColorSystem)->isChecked());
    EXPECT_TRUE(frame->action(KeypadTextColorDefault)->isChecked());

    answers.colourAnswers = {QColor(0, 0, 0)};
    frame->action(KeypadColorDigit)->trigger();
    EXPECT_FALSE(frame->action(KeypadColorDefault)->isChecked());
    EXPECT_EQ(keypad()->button(1009)->shownBackground().rgb(), qRgb(0, 0, 0));
    // A cancelled dialog leaves the check marks as they were.
    frame->action(KeypadColorDefault)->trigger();
    frame->action(KeypadColorService)->trigger();
    EXPECT_TRUE(frame->action(KeypadColorDefault)->isChecked());
    EXPECT_FALSE(frame->action(KeypadColorService)->isChecked());
    keypad()->setPrompts(nullptr);
}

TEST_F(KeypadInFrame, LookAndPlaceAreAsTheUserLeftThemAfterARestart)
{
    showFrame();
    frame->action(KeypadStyleVista)->trigger();
    bar()->setFloating(true);
    QCoreApplication::processEvents();
    restartFrame();
    showFrame();
    EXPECT_EQ(keypad()->effectiveStyle(), Keypad::StyleVista);
    EXPECT_TRUE(bar()->isFloating());
    EXPECT_EQ(QSettings(Tevra::ProgramSettings()).value("GUI/Keypad/Style").toInt(), 3);
}

}  // namespace
