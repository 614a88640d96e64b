#include "cli/Output.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unistd.h>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/settings/CalcSettings.h"
#include "core/files/Statistics.h"
#include "core/engine/Engine.h"
#include "core/formats/NumberFormat.h"
#include "core/memory/MemoryMap.h"
#include "core/formats/TextCodec.h"
#include "core/engine/EngineState.h"

namespace Tevra::Cli {

namespace {

// Keys stay in the order the JSON output documents them.
using Json = nlohmann::ordered_json;

// A number of the JSON output: always in full.
std::string Number(double value)
{
    return NCalculatorText::FormatNumber(value, State().CalcSettings.NumberFormat());
}

// A number of the text output: with the digits asked for.
std::string ShownNumber(double value)
{
    return NCalculatorText::FormatNumber(value, State().CalcSettings.NumberFormat(),
                                         State().CalcSettings.ResultDigits());
}

std::string Dump(const Json& json)
{
    return json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::vector<std::string> StatisticsTexts(int digits)
{
    std::vector<double> values;
    values.reserve(State().MemoryMap.Count());
    for (const auto& [name, cell] : State().MemoryMap)
        values.push_back(cell.Value);
    const StatisticsResults results = ComputeStatistics(values);
    std::vector<std::string> texts;
    for (std::size_t row = 0; row < StatisticsCount; ++row)
        texts.push_back(StatisticsDisplayText(results, row, State().CalcSettings.NumberFormat(), digits));
    return texts;
}

}  // namespace

void CCliLog::Add(const NCalculatorText::LogRecord& record)
{
    Record copy{record.Status == 1,
                Utf16ToUtf8(record.Context),
                Utf16ToUtf8(record.Description),
                NCalculatorText::State().ReportedStatement,
                Utf16ToUtf8(record.Hint.Text),
                record.Hint.Start,
                record.Hint.Length};
    ++count_;
    if (printing_) {
        std::string line = std::to_string(count_) + "\t" + (copy.Error ? "Error" : "Warning") + "\t" + copy.Context +
            "\t" + copy.Description;
        line = coloured_ ? (copy.Error ? "\x1b[31m" : "\x1b[33m") + line + "\x1b[0m\n" : line + "\n";
        if (hints_ && !copy.Hint.empty())
            line += "\thint: " + copy.Hint + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        return;
    }
    records_.push_back(std::move(copy));
}

void CCliLog::Clear()
{
    count_ = 0;
    records_.clear();
}

namespace {

constexpr std::size_t ChunkSize = 1u << 16;

void WriteOut(std::string_view bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

// The JSON string of UTF-8 text, without its quotes.
std::string EscapedForJson(const std::string& text)
{
    const std::string quoted = Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
    return quoted.substr(1, quoted.size() - 2);
}

}  // namespace

CRunTextSink::CRunTextSink(bool json, CFileReplacement* file, FileEncoding fileEncoding)
    : json_(json), file_(file), fileEncoder_(fileEncoding)
{
}

void CRunTextSink::Append(std::u16string_view piece)
{
    if (!changed_) {
        changed_ = original_.substr(compared_, piece.size()) != piece;
        compared_ += piece.size();
    }
    AppendUtf16AsUtf8(piece, output_, pending_, false);
    if (output_.size() >= ChunkSize)
        FlushStandardOutput(false);
    if (file_ != nullptr && fileOk_) {
        fileEncoder_.Append(piece, fileBytes_);
        if (fileBytes_.size() >= ChunkSize)
            FlushFile();
    }
}

void CRunTextSink::FlushStandardOutput(bool last)
{
    AppendUtf16AsUtf8({}, output_, pending_, last);
    if (json_)
        escaped_.push_back(EscapedForJson(output_));
    else
        WriteOut(output_);
    output_.clear();
}

bool CRunTextSink::FlushFile()
{
    fileOk_ = fileOk_ && file_->Write(fileBytes_);
    fileBytes_.clear();
    return fileOk_;
}

bool CRunTextSink::Finish()
{
    changed_ = changed_ || compared_ != original_.size();
    FlushStandardOutput(true);
    if (!json_)
        WriteOut("\n");
    if (file_ == nullptr)
        return true;
    fileEncoder_.Finish(fileBytes_);
    return FlushFile();
}

void PrintJsonRun(bool ok, const std::vector<std::string>& escapedText, int caret,
                  const std::vector<CCliLog::Record>& log)
{
    Json records = Json::array();
    for (const auto& record : log) {
        const bool known = record.Statement.IsKnown();
        records.push_back(Json{{"status", record.Error ? "Error" : "Warning"},
                               {"context", record.Context},
                               {"description", record.Description},
                               {"start", known ? Json(record.Statement.Start) : Json(nullptr)},
                               {"length", known ? Json(record.Statement.Length) : Json(nullptr)},
                               {"hint", record.Hint.empty() ? Json(nullptr) : Json(record.Hint)},
                               {"hint_start", record.HintStart >= 0 ? Json(record.HintStart) : Json(nullptr)},
                               {"hint_length", record.HintStart >= 0 ? Json(record.HintLength) : Json(nullptr)}});
    }
    Json memory = Json::array();
    for (const auto& [name, cell] : State().MemoryMap)
        memory.push_back(Json{{"name", Utf16ToUtf8(name)}, {"value", Number(cell.Value)}, {"include", cell.Include}});
    // The text is written as it is, already escaped, rather than copied into
    // the object once more.
    WriteOut(ok ? "{\"ok\":true,\"text\":\"" : "{\"ok\":false,\"text\":\"");
    for (const std::string& piece : escapedText)
        WriteOut(piece);
    const Json rest{{"caret", caret},
                    {"last_result", Number(NCalculatorText::State().LastResult)},
                    {"log", std::move(records)},
                    {"memory", std::move(memory)}};
    std::string tail = Dump(rest);  // {"caret":...}
    WriteOut("\",");
    WriteOut(std::string_view(tail).substr(1));
}

bool StandardErrorShowsColour()
{
    const char* noColour = std::getenv("NO_COLOR");
    const char* terminal = std::getenv("TERM");
    return isatty(STDERR_FILENO) == 1 && (noColour == nullptr || noColour[0] == '\0') && terminal != nullptr &&
        std::string_view(terminal) != "dumb" && terminal[0] != '\0';
}

std::string PlainMemoryOutput()
{
    std::string output;
    for (const auto& [name, cell] : State().MemoryMap)
        output += Utf16ToUtf8(name) + "\t" + ShownNumber(cell.Value) + "\n";
    return output;
}

std::string PlainStatisticsOutput()
{
    const auto texts = StatisticsTexts(State().CalcSettings.ResultDigits());
    std::string output;
    for (std::size_t row = 0; row < StatisticsCount; ++row)
        output += std::string(StatisticsLabels[row]) + "\t" + texts[row] + "\n";
    return output;
}

std::string JsonStatisticsOutput()
{
    const auto texts = StatisticsTexts(NCalculatorText::FullDigits);
    Json rows = Json::array();
    for (std::size_t row = 0; row < StatisticsCount; ++row)
        rows.push_back(Json{{"label", std::string(StatisticsLabels[row])}, {"value", texts[row]}});
    return Dump(Json{{"statistics", std::move(rows)}});
}

}  // namespace Tevra::Cli
