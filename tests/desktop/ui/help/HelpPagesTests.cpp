// The help pages: every link lands on a page and an anchor that exist, every
// page is reachable from the contents, and every function name, report text,
// command and preference the program's tables hold has its topic.
#include "desktop/services/CCalcPreferences.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/CalcHelpTopics.h"
#include "desktop/services/QtText.h"
#include "core/engine/Diagnostics.h"
#include "core/files/Statistics.h"
#include "core/engine/Engine.h"
#include "desktop/ui/help/CCalcHelpWindow.h"
#include "desktop/ui/keypad/KeypadButtons.h"
#include "desktop/ui/memory/CCalcMemory.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <map>

namespace {

QString Page(const QString& name)
{
    QFile file(QStringLiteral(":/help/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList AllPages()
{
    return QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

QSet<QString> AnchorsOf(const QString& html)
{
    QSet<QString> anchors;
    static const QRegularExpression Anchor(QStringLiteral("<a name=\"([^\"]+)\""));
    for (const QRegularExpressionMatch& match : Anchor.globalMatch(html))
        anchors.insert(match.captured(1));
    return anchors;
}

// Whether a topic ("page#anchor") leads to a page holding its anchor.
::testing::AssertionResult Resolves(const QString& topic)
{
    const QUrl url = CCalcHelpWindow::TopicUrl(topic);
    if (url.isEmpty())
        return ::testing::AssertionFailure() << "no page for " << topic.toStdString();
    if (url.hasFragment() && !AnchorsOf(Page(url.fileName())).contains(url.fragment()))
        return ::testing::AssertionFailure()
            << url.fileName().toStdString() << " has no anchor " << url.fragment().toStdString();
    return ::testing::AssertionSuccess();
}

TEST(HelpPages, EveryLinkLandsOnAnExistingPageAndAnchor)
{
    ASSERT_GE(AllPages().size(), 10) << "the help pages are in the resources";
    static const QRegularExpression Link(QStringLiteral("href=\"([^\"]*)\""));
    for (const QString& page : AllPages()) {
        const QString html = Page(page);
        for (const QRegularExpressionMatch& match : Link.globalMatch(html)) {
            const QString target = match.captured(1);
            SCOPED_TRACE((page + QStringLiteral(" -> ") + target).toStdString());
            ASSERT_FALSE(target.isEmpty());
            ASSERT_FALSE(target.contains(QLatin1String("://"))) << "the help links only to itself";
            const qsizetype hash = target.indexOf(QLatin1Char('#'));
            const QString file = hash == 0 ? page : target.left(hash < 0 ? target.size() : hash);
            ASSERT_TRUE(AllPages().contains(file));
            if (hash >= 0) {
                EXPECT_TRUE(AnchorsOf(Page(file)).contains(target.mid(hash + 1)));
            }
        }
    }
}

TEST(HelpPages, EveryPageIsReachedFromTheContentsInOrder)
{
    const QStringList order = CCalcHelpWindow::PageOrder();
    EXPECT_EQ(order.front(), QStringLiteral("contents.html"));
    const QStringList pages = AllPages();
    EXPECT_EQ(QSet<QString>(order.begin(), order.end()), QSet<QString>(pages.begin(), pages.end()));
    for (const QString& page : AllPages()) {
        SCOPED_TRACE(page.toStdString());
        static const QRegularExpression Title(QStringLiteral("<title>([^<]+)</title>"));
        EXPECT_TRUE(Title.match(Page(page)).hasMatch()) << "every page has a title for the window";
    }
}

TEST(HelpPages, TheWindowsTopicsAllResolve)
{
    for (const QString& topic :
         {CalcHelp::Contents, CalcHelp::Language, CalcHelp::Functions, CalcHelp::Messages, CalcHelp::Memory,
          CalcHelp::Keypad, CalcHelp::Commands, CalcHelp::Preferences, CalcHelp::Files, CalcHelp::CommandLine,
          CalcHelp::Preferences + QStringLiteral("#TrigonometricUnits"), CalcHelp::PrintTopic, CalcHelp::PreviewTopic,
          CalcHelp::PageSetupTopic, CalcHelp::PrintingTopic}) {
        EXPECT_TRUE(Resolves(topic));
    }
}

TEST(HelpPages, EverySpellingOfEveryFunctionHasItsTopic)
{
    const QString functions = Page(QStringLiteral("functions.html"));
    std::size_t spellings = 0;
    for (const NCalculatorText::NameGroup& group : NCalculatorText::FunctionNameGroups()) {
        for (const std::u16string_view name : group) {
            const QString text = Tevra::ToQString(name);
            SCOPED_TRACE(text.toStdString());
            EXPECT_TRUE(Resolves(CalcHelp::FunctionTopic(text)));
            EXPECT_TRUE(functions.contains(QStringLiteral("<code>%1</code>").arg(text.toHtmlEscaped())));
            ++spellings;
        }
    }
    EXPECT_GT(spellings, 60u);
}

TEST(HelpPages, EveryReportTextHasItsTopicAndStandsOnIt)
{
    const QString messages = Page(QStringLiteral("messages.html"));
    for (const NCalculatorText::ReportWording& wording : NCalculatorText::ReportWordings()) {
        SCOPED_TRACE(wording.Code);
        EXPECT_TRUE(Resolves(CalcHelp::MessageTopic(wording.Code)));
        const std::size_t words = wording.Words[0].empty() ? 1 : wording.Words.size();
        for (std::size_t word = 0; word < words; ++word) {
            const QString text = Tevra::ToQString(NCalculatorText::FormatReportText(wording, word, u"x"));
            EXPECT_TRUE(messages.contains(QStringLiteral("<code>%1</code>").arg(text.toHtmlEscaped())))
                << text.toStdString();
        }
    }
    // The examples are the engine's own rows: a known one stands there.
    EXPECT_TRUE(messages.contains(QStringLiteral("Function is not defined for -1")));
    for (int code = 0; code <= NCalculatorText::OpGammaFunction; ++code)
        EXPECT_TRUE(messages.contains(Tevra::ToQString(NCalculatorText::OperationName(code))));
}

TEST(HelpPages, EveryCommandAndEveryPreferenceHasItsTopic)
{
    for (const CalcCommand::Info& info : CalcCommand::Commands()) {
        SCOPED_TRACE(info.Command);
        EXPECT_TRUE(Resolves(CalcHelp::CommandTopic(info.Command)));
    }
    for (const CCalcPreferences::ControlText& control : CCalcPreferences::ControlTexts()) {
        SCOPED_TRACE(std::string(control.Name));
        EXPECT_TRUE(Resolves(CalcHelp::Preferences + QLatin1Char('#') + Tevra::ToQString(control.Name)));
    }
}

TEST(HelpPages, EveryMemoryButtonAndEveryStatisticHasItsTopic)
{
    const QString memory = Page(QStringLiteral("memory.html"));
    for (const CCalcMemory::ButtonInfo& button : CCalcMemory::ButtonTable()) {
        SCOPED_TRACE(button.ControlId);
        EXPECT_TRUE(Resolves(CalcHelp::MemoryButtonTopic(button.ControlId)));
        EXPECT_TRUE(memory.contains(QStringLiteral("<b>%1</b>").arg(QString::fromUtf8(button.Word))));
    }
    for (std::size_t row = 0; row < Tevra::StatisticsCount; ++row) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(Resolves(CalcHelp::StatisticTopic(static_cast<int>(row))));
        EXPECT_TRUE(memory.contains(Tevra::ToQString(Tevra::StatisticsLabels[row])));
    }
    EXPECT_TRUE(Resolves(CalcHelp::MemoryWindow));
    EXPECT_TRUE(Resolves(CalcHelp::StatisticsBar));
    // The figures are the bar's own: the kurtosis of 1, 2, 3 and 4.
    EXPECT_TRUE(memory.contains(QStringLiteral("-2.0775000000000001243")));
}

TEST(HelpPages, EveryKeypadButtonHasItsTopicWithItsDescription)
{
    const QString keypad = Page(QStringLiteral("keypad.html"));
    for (const Keypad::Button& button : Keypad::Buttons()) {
        SCOPED_TRACE(button.Id);
        const QString topic = CalcHelp::KeypadButtonTopic(button.Id);
        EXPECT_TRUE(Resolves(topic));
        // The number the keypad asks with leads to the same topic.
        EXPECT_EQ(CCalcHelpWindow::ContextTopic(Keypad::HelpContext(button.Id)), topic);
        EXPECT_TRUE(keypad.contains(QString::fromStdString(Keypad::Description(button)).toHtmlEscaped()));
    }
    struct Row {
        std::uint32_t Context;
        const char* Topic;
    };
    const Row others[] = {
        {0, "contents"},
        {CalcHelp::KeypadContextBase - 1, "contents"},
        {CalcHelp::KeypadContextBase + 1, "contents"},
        {CalcHelp::KeypadContextBase + 1130, "contents"},
        {0xFFFFFFFFu, "contents"},
    };
    for (const Row& row : others) {
        SCOPED_TRACE(row.Context);
        EXPECT_EQ(CCalcHelpWindow::ContextTopic(row.Context), QString::fromUtf8(row.Topic));
    }
}

TEST(HelpPages, TopicsNameOnlyPagesOfTheHelp)
{
    struct Row {
        const char* Topic;
        const char* Url;  // empty: no page
    };
    const Row rows[] = {
        {"contents", "qrc:/help/contents.html"},
        {"messages#report-4", "qrc:/help/messages.html#report-4"},
        {"language", "qrc:/help/language.html"},
        {"", ""},
        {"no-such-page", ""},
        {"../contents", ""},
        {"Contents", ""},
        {"contents.html", ""},
        {"#report-4", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Topic);
        EXPECT_EQ(CCalcHelpWindow::TopicUrl(QString::fromUtf8(row.Topic)).toString(), QString::fromUtf8(row.Url));
    }
}

}  // namespace
