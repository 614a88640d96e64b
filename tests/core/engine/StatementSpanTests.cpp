// The statement each log record comes from: its place in the text the run
// was given, without the blanks and comments around it.
#include "support/EngineTestSupport.h"

#include "core/engine/EngineStack.h"
#include "core/engine/ReportedStatement.h"
#include "core/engine/EngineState.h"

#include <pthread.h>

namespace {

using namespace EngineTests;

// Keeps each record with the statement it names.
class SpanLog final : public NCalculatorText::ILogReceiver {
public:
    void Add(const NCalculatorText::LogRecord& record) override
    {
        const NCalculatorText::StatementSpan span = NCalculatorText::State().ReportedStatement;
        Spans.push_back(span);
        Lines.push_back(RecordLine(record.Status, record.Context, record.Description));
    }
    void Clear() override
    {
        Spans.clear();
        Lines.clear();
    }
    std::vector<NCalculatorText::StatementSpan> Spans;
    std::vector<std::string> Lines;
};

struct SpanCase {
    std::u16string Text;
    int Caret;
    NCalculatorText::AfterFailure After;
    std::vector<std::string> Statements;  // the text of each record's span
};

std::vector<std::string> SpanTexts(const std::u16string& text, const std::vector<NCalculatorText::StatementSpan>& spans)
{
    std::vector<std::string> texts;
    for (const auto& span : spans) {
        if (!span.IsKnown()) {
            texts.push_back("<none>");
            continue;
        }
        texts.push_back(
            Readable(text.substr(static_cast<std::size_t>(span.Start), static_cast<std::size_t>(span.Length))));
    }
    return texts;
}

class StatementSpanTest : public EngineTest {
protected:
    SpanLog Spans;
};

TEST_F(StatementSpanTest, EachRecordNamesItsStatementInTheGivenText)
{
    using NCalculatorText::AfterFailure;
    const std::vector<SpanCase> cases = {
        {u"1/0", -1, AfterFailure::Stop, {"1/0"}},
        {u"1/0;2;3", -1, AfterFailure::Stop, {"1/0"}},
        {u"1;2/0;3", -1, AfterFailure::Stop, {"2/0"}},
        {u"1;2;3/0", -1, AfterFailure::Stop, {"3/0"}},
        {u"1;2;3/0", 5, AfterFailure::Stop, {"3/0"}},
        {u"  1/0  ", -1, AfterFailure::Stop, {"1/0"}},
        {u"1;\n  /* why */ 2/0 = 5 // note\n;3", -1, AfterFailure::Stop, {"2/0 = 5"}},
        {u"// head\n1/0", -1, AfterFailure::Stop, {"1/0"}},
        {u"mem[q]; x; 1/0", -1, AfterFailure::Stop, {"mem[q]", "x", "1/0"}},
        {u"1e-200*1e-200*mem[z]", -1, AfterFailure::Stop, {"1e-200*1e-200*mem[z]", "1e-200*1e-200*mem[z]"}},
        {u"1/0; 2; ln(0); 3", -1, AfterFailure::Continue, {"1/0", "ln(0)"}},
        {u"1; 2 /* never closed", -1, AfterFailure::Stop, {"/* never closed"}},
        {u"1/0; 2 /* never closed", -1, AfterFailure::Continue, {"1/0", "/* never closed"}},
        {u"1 = 2 = 3", -1, AfterFailure::Stop, {"1 = 2 = 3"}},
    };
    NCalculatorText::State().LogReceiver = &Spans;
    for (const SpanCase& test : cases) {
        SCOPED_TRACE("text: " + Readable(test.Text));
        std::u16string text = test.Text;
        int caret = test.Caret;
        NCalculatorText::ExecuteText(text, caret, test.After);
        EXPECT_EQ(SpanTexts(test.Text, Spans.Spans), test.Statements);
        EXPECT_FALSE(NCalculatorText::State().ReportedStatement.IsKnown());
    }
}

struct ThreadRun {
    std::u16string Text;
    SpanLog* Log;
};

void* RunOnSmallStack(void* argument)
{
    auto* run = static_cast<ThreadRun*>(argument);
    NCalculatorText::State().LogReceiver = run->Log;
    int caret = -1;
    NCalculatorText::ExecuteText(run->Text, caret);
    return nullptr;
}

TEST_F(StatementSpanTest, SurviveARunOnTheBigStackHelper)
{
    // A thread with a small stack hands the run to the helper thread, whose
    // records reach the log afterwards: each still names its statement.
    ThreadRun run{u"mem[a]; 2; 1/0", &Spans};
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, RunOnSmallStack, &run), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(SpanTexts(u"mem[a]; 2; 1/0", Spans.Spans), (std::vector<std::string>{"mem[a]", "1/0"}));
}

}  // namespace
