#include "core/files/MemoryFile.h"

#include <cmath>

#include "core/engine/Engine.h"
#include "core/formats/FileEncoding.h"
#include "core/formats/NumberFormat.h"
#include "core/memory/MemoryMap.h"
#include "core/formats/TextCodec.h"

namespace Tevra {

std::string MemoryFileBytes(const CMemoryMap& memory, bool all, std::optional<double> lastResult)
{
    // The export starts with its own U+FEFF, which is the file's mark.
    std::u16string text = memory.ExportMemory(all);
    if (lastResult && std::isfinite(*lastResult))
        text += NCalculatorText::FormatNumberText(*lastResult) + u";\r\n";
    return EncodeCalculationFile(std::u16string_view(text).substr(1));
}

FileExecution ExecuteFileBytes(std::string_view bytes)
{
    if (bytes.empty())
        return FileExecution::CannotRead;
    const std::u16string text = DecodeFileText(bytes).Text;
    int caret = -1;
    NCalculatorText::CDiscardedText discarded;
    const bool ok = NCalculatorText::ExecuteTextInto(text, caret, discarded, NCalculatorText::AfterFailure::Continue);
    return ok ? FileExecution::Succeeded : FileExecution::Failed;
}

}  // namespace Tevra
