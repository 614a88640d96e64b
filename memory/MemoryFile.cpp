#include "memory/MemoryFile.h"

#include "engine/Engine.h"
#include "memory/TextCodec.h"

namespace Tevra {

FileExecution ExecuteFileBytes(std::string_view bytes)
{
    if (bytes.empty())
        return FileExecution::CannotRead;
    std::u16string text = DecodeCalculationFile(bytes);
    int caret = -1;
    return NCalculatorText::ExecuteText(text, caret, NCalculatorText::AfterFailure::Continue) ? FileExecution::Succeeded
                                                                                              : FileExecution::Failed;
}

}  // namespace Tevra
