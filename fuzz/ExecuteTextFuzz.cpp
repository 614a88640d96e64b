// libFuzzer target: any bytes, read as a caret and a UTF-16 text, must end in
// a result or a report, with a caret inside the resulting text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/Diagnostics.h"
#include "engine/Engine.h"
#include "memory/MemoryMap.h"

namespace {

// Checks every record as it arrives: a status and a context from the table.
class CheckingLog final : public NCalculatorText::ILogReceiver {
public:
    void Add(const NCalculatorText::LogRecord& record) override
    {
        if (record.Status != 0 && record.Status != 1)
            std::abort();
        if (record.Context.empty() || record.Description.empty())
            std::abort();
    }
    void Clear() override {}
};

CheckingLog Log;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    NCalculatorText::LogReceiver = &Log;
    if (Tevra::MemoryMap.Count() > 10000)
        Tevra::MemoryMap.FreeAll();

    // The first two bytes choose the caret: -1 (all statements) or a position.
    int caret = -1;
    if (size >= 2) {
        const int chosen = data[0] | (data[1] << 8);
        caret = chosen == 0xFFFF ? -1 : chosen;
        data += 2;
        size -= 2;
    }
    std::u16string text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    if (caret > static_cast<int>(text.size()))
        caret = static_cast<int>(text.size());

    const int before = caret;
    const bool ok = NCalculatorText::ExecuteText(text, caret);
    if (caret < -1 || caret > static_cast<int>(text.size()))
        std::abort();
    if (ok && caret == -1)
        std::abort();
    if (!ok && caret != before && caret != static_cast<int>(text.size()))
        std::abort();
    return 0;
}
