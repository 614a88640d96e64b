// Shared fixture and helpers of the engine tests: a log receiver that keeps the
// records of a run, a runner that executes a text as the calculate commands do,
// and readable renderings of UTF-16 texts for failure messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/CalcSettings.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "core/engine/EngineState.h"

namespace EngineTests {

// UTF-8 rendering of a UTF-16 text for messages: control characters and
// unpaired surrogates are written as escapes, so every input stays visible.
inline std::string Readable(std::u16string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c < 0x20 || c == 0x7F) {
            if (c == u'\n') {
                out += "\\n";
            } else if (c == u'\r') {
                out += "\\r";
            } else if (c == u'\t') {
                out += "\\t";
            } else {
                out += "\\u";
                for (int shift = 12; shift >= 0; shift -= 4)
                    out += hex[(c >> shift) & 0xF];
            }
            continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// A log record as one comparable line: "Error|Division|Operation has
// singularity at 0". Status 1 is an error, every other value a warning.
inline std::string RecordLine(int status, std::u16string_view context, std::u16string_view description)
{
    return std::string(status == 1 ? "Error" : "Warning") + "|" + Readable(context) + "|" + Readable(description);
}

inline std::string Error(std::string_view context, std::string_view description)
{
    return "Error|" + std::string(context) + "|" + std::string(description);
}

inline std::string Warning(std::string_view context, std::string_view description)
{
    return "Warning|" + std::string(context) + "|" + std::string(description);
}

inline std::string SyntaxErrorRecord(std::string_view context = "None")
{
    return Error(context, "Syntax error");
}

inline std::string UnsetIndexRecord()
{
    return Warning("Index", "Uninitialized index used, value forced to 0");
}

inline std::string UnsetMemoryRecord()
{
    return Warning("Memory", "Uninitialized memory used, value forced to 0");
}

inline std::string PositiveOverflow(std::string_view context)
{
    return Error(context, "Operation resulted in overflow, too big positive number returned");
}

inline std::string NegativeOverflow(std::string_view context)
{
    return Error(context, "Operation resulted in overflow, too big negative number returned");
}

inline std::string UnderflowToZero(std::string_view context)
{
    return Warning(context, "Operation resulted in underflow, result accepted as 0");
}

// Collects the records of the latest run, as the log window shows them.
class CollectingLogReceiver final : public NCalculatorText::ILogReceiver {
public:
    void Add(const NCalculatorText::LogRecord& record) override
    {
        Lines.push_back(RecordLine(record.Status, record.Context, record.Description));
        Statuses.push_back(record.Status);
        Contexts.emplace_back(record.Context);
        Codes.push_back(record.Code);
    }
    void Clear() override
    {
        Lines.clear();
        Statuses.clear();
        Contexts.clear();
        Codes.clear();
        ++ClearCount;
    }

    std::vector<std::string> Lines;
    std::vector<int> Statuses;
    std::vector<std::u16string> Contexts;
    std::vector<NCalculatorText::ReportCode> Codes;
    int ClearCount = 0;
};

// What one execution left behind.
struct RunOutcome {
    bool Ok = false;
    std::u16string Text;
    int Caret = 0;
    std::vector<std::string> Records;
};

// The value a single statement wrote, or why it wrote none.
struct Evaluation {
    bool Ok = false;
    std::string Value;  // the digits behind the new "=", empty on failure
    std::vector<std::string> Records;
};

// Every engine test starts from the state of a fresh process and delivers the
// log into its own collector.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NCalculatorText::State() = {};
        NCalculatorText::State().LogReceiver = &Log;
    }

    void TearDown() override { NCalculatorText::State() = {}; }

    RunOutcome Run(std::u16string text, int caret = -1)
    {
        RunOutcome outcome;
        outcome.Caret = caret;
        outcome.Ok = NCalculatorText::ExecuteText(text, outcome.Caret);
        outcome.Text = std::move(text);
        outcome.Records = Log.Lines;
        return outcome;
    }

    // Runs expression as a whole text; on success the text must read
    // expression "=" value, and the value's digits are returned.
    Evaluation Evaluate(const std::u16string& expression)
    {
        const RunOutcome outcome = Run(expression);
        Evaluation evaluation;
        evaluation.Ok = outcome.Ok;
        evaluation.Records = outcome.Records;
        if (outcome.Ok) {
            const std::u16string prefix = expression + u"=";
            EXPECT_EQ(Readable(outcome.Text.substr(0, prefix.size())), Readable(prefix))
                << "result not written behind the expression";
            if (outcome.Text.size() >= prefix.size())
                evaluation.Value = Readable(outcome.Text.substr(prefix.size()));
        }
        return evaluation;
    }

    static void SetUnits(std::uint32_t units) { NCalculatorText::State().CalcSettings.TrigonometricUnits = units; }

    // The statement succeeds, writes value and logs exactly records.
    void ExpectValue(const std::u16string& input, const std::string& value,
                     const std::vector<std::string>& records = {})
    {
        SCOPED_TRACE("input: " + Readable(input));
        const Evaluation evaluation = Evaluate(input);
        EXPECT_TRUE(evaluation.Ok);
        EXPECT_EQ(evaluation.Value, value);
        EXPECT_EQ(evaluation.Records, records);
    }

    // The statement fails and logs exactly records.
    void ExpectFailure(const std::u16string& input, const std::vector<std::string>& records)
    {
        SCOPED_TRACE("input: " + Readable(input));
        const Evaluation evaluation = Evaluate(input);
        EXPECT_FALSE(evaluation.Ok);
        EXPECT_EQ(evaluation.Records, records);
    }

    CollectingLogReceiver Log;
};

// piece written count times: long and deeply nested statements.
inline std::u16string Repeat(std::u16string_view piece, std::size_t count)
{
    std::u16string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

// One statement with the digits it must write and the records it must log.
struct ValueCase {
    std::u16string Input;
    std::string Value;
    std::vector<std::string> Records = {};
};

// One statement that must fail, with the records it must log.
struct FailureCase {
    std::u16string Input;
    std::vector<std::string> Records;
};

// The value written for a statement read back as a double, for results that
// come from series whose last digits are the implementation's.
inline double ValueOf(const Evaluation& evaluation)
{
    return std::strtod(evaluation.Value.c_str(), nullptr);
}

}  // namespace EngineTests
