// The keypad panel: presses reach the receiver, captions and layout follow
// the preferences, F1 asks for the button's topic, and the look persists.
#include "support/KeypadSupport.h"

#include "desktop/services/CCalcHelpRequests.h"
#include "desktop/services/QtText.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QSignalSpy>

#include <map>

namespace {

using Keypad::ColourGroup;

std::string Expected(const Keypad::Button& button, const Tevra::CCalcSettings& settings)
{
    const Keypad::Press press = Keypad::WhatItSends(button, settings, settings.Notation);
    if (press.Command)
        return "command " + std::to_string(*press.Command);
    return "text " + Tevra::ToQString(press.Text).toStdString();
}

TEST_F(KeypadTest, EveryButtonSendsItsOwnTextOrCommand)
{
    keypad->show();
    for (const Keypad::Button& button : Keypad::Buttons()) {
        receiver.sent.clear();
        click(button.Id);
        ASSERT_EQ(receiver.sent.size(), 1u) << button.Id;
        EXPECT_EQ(receiver.sent[0], Expected(button, record)) << button.Id;
    }
}

TEST_F(KeypadTest, AFewPressesAsTheUserSeesThem)
{
    keypad->show();
    record.Notation = 1;
    record.AppendFunctionWith = 2;
    notifier.announce();
    for (const int id : {1029, 1036, 1048, 1016, 1070, 1001, 1062, 1051, 1050, 1068})
        click(id);
    EXPECT_EQ(receiver.sent,
              (std::vector<std::string>{"text tg{", "text !", "text \u03C0", "text \u00D7", "text Mem[", "command 2",
                                        "command 3", "command 0", "command 1", "command 4"}));
}

TEST_F(KeypadTest, WithoutAReceiverAPressDoesNothing)
{
    keypad->show();
    keypad->SetReceiver(nullptr);
    click(1001);
    click(1029);
    EXPECT_TRUE(receiver.sent.empty());
}

TEST_F(KeypadTest, ADoubleClickCountsAsTwoPresses)
{
    keypad->show();
    CColorButton* seven = keypad->button(1013);
    // What the window system delivers for a double click: press, release,
    // double click, release.
    const QPoint centre = seven->rect().center();
    QTest::mousePress(seven, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(seven, Qt::LeftButton, {}, centre);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(centre), QPointF(seven->mapToGlobal(centre)),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(seven, &doubleClick);
    QTest::mouseRelease(seven, Qt::LeftButton, {}, centre);
    EXPECT_EQ(receiver.sent, (std::vector<std::string>{"text 7", "text 7"}));
}

TEST_F(KeypadTest, APressOutsideTheVossekBodyIsNoPress)
{
    keypad->show();
    CColorButton* button = keypad->button(1029);
    ASSERT_EQ(button->paintingStyle(), Keypad::StyleVossek);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(receiver.sent.empty()) << "the corner lies outside the capsule";
    keypad->setStoredStyle(Keypad::StyleXP);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(receiver.sent.size(), 1u) << "elsewhere the whole button answers";
}

TEST_F(KeypadTest, EveryButtonIsNamedByItsCaptionAndDescribedByWhatItSends)
{
    EXPECT_EQ(keypad->accessibleName(), QStringLiteral("Keypad"));
    const std::map<int, QString> names = {{1029, "tan"},     {1016, "\u00D7"}, {1062, "= all"}, {1071, "; enter"},
                                          {1050, "Bkspace"}, {1026, "."},      {1127, "\u2211"}};
    for (const auto& [id, name] : names) {
        EXPECT_EQ(keypad->button(id)->accessibleName(), name) << id;
        EXPECT_EQ(keypad->button(id)->text(), name) << id;
    }
    EXPECT_EQ(keypad->button(1029)->accessibleDescription(), QStringLiteral("Inserts tan("));
    record.AppendFunctionWith = 1;
    notifier.announce();
    EXPECT_EQ(keypad->button(1029)->accessibleDescription(), QStringLiteral("Inserts tan["));
    for (CColorButton* button : keypad->buttons())
        EXPECT_FALSE(button->accessibleDescription().isEmpty()) << button->id();
}

struct RefreshRow {
    const char* name;
    void (*change)(Tevra::CCalcSettings&);
    bool relaidOut;
    int id;
    const char* caption;
};

const RefreshRow RefreshRows[] = {
    {"LogPopup only", [](Tevra::CCalcSettings& s) { s.LogPopup = 0; }, false, 1029, "tan"},
    {"keyword spelling only", [](Tevra::CCalcSettings& s) { s.FormatResult = 4; }, false, 1061, "Rslt"},
    {"brackets only", [](Tevra::CCalcSettings& s) { s.AppendFunctionWith = 2; }, false, 1029, "tan"},
    {"East notation", [](Tevra::CCalcSettings& s) { s.Notation = 1; }, true, 1029, "tg"},
    {"upper case", [](Tevra::CCalcSettings& s) { s.NotationCase = 1; }, true, 1031, "SINH"},
    {"gamma relabels without a new layout", [](Tevra::CCalcSettings& s) { s.GammaFunction = 1; }, false, 1036,
     "\u0393"},
    {"nothing at all", [](Tevra::CCalcSettings&) {}, false, 1026, "."},
};

TEST_F(KeypadTest, CaptionsAndLayoutFollowOnlyWhatChanged)
{
    for (const RefreshRow& row : RefreshRows) {
        SCOPED_TRACE(row.name);
        record = Tevra::CCalcSettings{};
        notifier.announce();
        QSignalSpy layouts(keypad.get(), &CCalcKeyPad::relaidOut);
        row.change(record);
        notifier.announce();
        EXPECT_EQ(layouts.count(), row.relaidOut ? 1 : 0);
        EXPECT_EQ(keypad->button(row.id)->text(), QString::fromUtf8(row.caption));
    }
}

TEST_F(KeypadTest, UpperEastWidensTheFunctionButtonsAndLowerNarrowsThemAgain)
{
    const QFontMetrics metrics(keypad->keypadFont());
    const int lower = metrics.horizontalAdvance(QStringLiteral("8Bkspace8"));
    EXPECT_EQ(keypad->button(1029)->width(), lower);
    const QSize lowerPanel = keypad->size();

    record.Notation = 1;
    record.NotationCase = 1;
    notifier.announce();
    EXPECT_EQ(keypad->button(1056)->text(), QStringLiteral("ARCCOSEC"));
    EXPECT_EQ(keypad->button(1029)->width(), metrics.horizontalAdvance(QStringLiteral("8ARCCOSEC8")));
    EXPECT_EQ(keypad->button(1051)->width(), metrics.horizontalAdvance(QStringLiteral("8ARCCOSEC8")));
    EXPECT_GT(keypad->width(), lowerPanel.width());

    record.Notation = 0;
    notifier.announce();
    EXPECT_EQ(keypad->button(1029)->width(), metrics.horizontalAdvance(QStringLiteral("8ARCOTH8")));

    record.NotationCase = 0;
    notifier.announce();
    EXPECT_EQ(keypad->button(1029)->width(), lower);
    EXPECT_EQ(keypad->size(), lowerPanel);
    EXPECT_EQ(keypad->sizeHint(), lowerPanel);
}

TEST_F(KeypadTest, EveryCaptionFitsItsButton)
{
    for (const std::uint32_t notation : {0u, 1u}) {
        for (const std::uint32_t upper : {0u, 1u}) {
            record.Notation = notation;
            record.NotationCase = upper;
            notifier.announce();
            for (CColorButton* button : keypad->buttons()) {
                const QFontMetrics metrics(button->font());
                EXPECT_LE(metrics.horizontalAdvance(button->text()), button->width())
                    << button->text().toStdString() << " notation " << notation << " upper " << upper;
            }
        }
    }
}

TEST_F(KeypadTest, F1OnAButtonAsksForItsContextNumber)
{
    CCalcHelpRequests help;
    keypad->setHelpRequests(&help);
    keypad->show();
    QSignalSpy asked(&help, &CCalcHelpRequests::contextRequested);
    for (const int id : {1001, 1029, 1129}) {
        CColorButton* button = keypad->button(id);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_F1);
        ASSERT_EQ(asked.count(), 1) << id;
        EXPECT_EQ(asked.takeFirst().at(0).value<std::uint32_t>(), static_cast<std::uint32_t>(id) + 0x80660000u);
    }
    // "What's This?" mode: a click on the button asks the same.
    QHelpEvent whatsThis(QEvent::WhatsThis, QPoint(2, 2), keypad->button(1050)->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(keypad->button(1050), &whatsThis);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.takeFirst().at(0).value<std::uint32_t>(), 0x8066041Au);
    // Other keys do not ask.
    QTest::keyClick(keypad->button(1001), Qt::Key_F2);
    EXPECT_EQ(asked.count(), 0);
}

}  // namespace
