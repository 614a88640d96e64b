#include "core/files/MemoryFile.h"

#include "core/engine/Engine.h"
#include "core/formats/FileEncoding.h"
#include "core/memory/MemoryMap.h"
#include "core/formats/TextCodec.h"

namespace Tevra {

std::string MemoryFileBytes(const CMemoryMap& memory, bool all)
{
    // The export starts with its own U+FEFF, which is the file's mark.
    const std::u16string text = memory.ExportMemory(all);
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
