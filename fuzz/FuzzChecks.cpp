#include "fuzz/FuzzChecks.h"

#include <cstdint>

#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "core/engine/EngineState.h"
#include "core/formats/FileEncoding.h"
#include "core/files/MemoryFile.h"
#include "core/memory/MemoryMap.h"

namespace TevraFuzz {

namespace {

// Checks every record as it arrives: a status and a context from the table.
class CheckingLog final : public NCalculatorText::ILogReceiver {
public:
    void Add(const NCalculatorText::LogRecord& record) override
    {
        if (record.Status != 0 && record.Status != 1)
            fault = "a record with status " + std::to_string(record.Status);
        else if (record.Context.empty() || record.Description.empty())
            fault = "a record without context or description";
    }
    void Clear() override {}

    std::string fault;
};

// Runs a calculation from fresh process state under the work budget, with
// the checking log.
template <typename Run> std::string Checked(Run run)
{
    CheckingLog log;
    NCalculatorText::ResetProcessState();
    NCalculatorText::State().LogReceiver = &log;
    NCalculatorText::State().WorkLeft = WorkPerInput;
    std::string fault = run();
    NCalculatorText::ResetProcessState();
    NCalculatorText::State().LogReceiver = nullptr;
    return fault.empty() ? log.fault : fault;
}

}  // namespace

std::string CheckCalculationText(std::string_view bytes)
{
    int caret = -1;
    if (bytes.size() >= 2) {
        const int chosen = static_cast<std::uint8_t>(bytes[0]) | (static_cast<std::uint8_t>(bytes[1]) << 8);
        caret = chosen == 0xFFFF ? -1 : chosen;
        bytes.remove_prefix(2);
    }
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                             (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
    if (caret > static_cast<int>(text.size()))
        caret = static_cast<int>(text.size());

    return Checked([&]() -> std::string {
        const int before = caret;
        const bool ok = NCalculatorText::ExecuteText(text, caret);
        if (caret < -1 || caret > static_cast<int>(text.size()))
            return "the caret " + std::to_string(caret) + " lies outside the text";
        if (ok && caret == -1)
            return "a successful run without a caret";
        if (!ok && caret != before && caret != static_cast<int>(text.size()))
            return "a failed run moved the caret to " + std::to_string(caret);
        return {};
    });
}

std::string CheckMemoryAndCalculationFile(std::string_view bytes)
{
    // The text written back as the real writers write it reads as the same
    // text again: the editor writes the text alone (the bytes behind it are
    // given up); tevra writes it with the bytes behind it, but only for a
    // file it reads at all: it refuses one that is neither UTF-16 nor UTF-8.
    const Tevra::FileText decoded = Tevra::DecodeFileText(bytes);
    if (Tevra::DecodeFileText(Tevra::EncodeWholeFileText(decoded.Text, decoded.Encoding)).Text != decoded.Text)
        return "the file's text does not survive being written back alone";
    if (decoded.Encoding != Tevra::FileEncoding::Unrecognised) {
        const std::string kept = decoded.Tail.empty()
            ? Tevra::EncodeWholeFileText(decoded.Text, decoded.Encoding)
            : Tevra::EncodeFileText(decoded.Text, decoded.Encoding) + decoded.Tail;
        if (Tevra::DecodeFileText(kept).Text != decoded.Text)
            return "the file does not survive being read and written back";
    }

    return Checked([&]() -> std::string {
        Tevra::ExecuteFileBytes(bytes);
        if (NCalculatorText::State().WorkExhausted)
            return {};  // cut short: the memory is whatever the run reached
        // The memory saved, loaded into an empty memory, saves the same.
        const std::string saved = Tevra::MemoryFileBytes(NCalculatorText::State().MemoryMap, true);
        NCalculatorText::State().MemoryMap.FreeAll();
        NCalculatorText::State().WorkLeft = WorkPerInput;
        Tevra::ExecuteFileBytes(saved);
        const std::string again = Tevra::MemoryFileBytes(NCalculatorText::State().MemoryMap, true);
        NCalculatorText::State().MemoryMap.FreeAll();
        if (!NCalculatorText::State().WorkExhausted && again != saved)
            return "a saved memory file does not reload into the same cells";
        return {};
    });
}

}  // namespace TevraFuzz
