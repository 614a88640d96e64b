#include "memory/MemoryFile.h"

#include "engine/Engine.h"
#include "memory/FileEncoding.h"

namespace Tevra {

FileExecution ExecuteFileBytes(std::string_view bytes)
{
    if (bytes.empty())
        return FileExecution::CannotRead;
    std::u16string text = DecodeFileText(bytes).Text;
    int caret = -1;
    return NCalculatorText::ExecuteText(text, caret, NCalculatorText::AfterFailure::Continue) ? FileExecution::Succeeded
                                                                                              : FileExecution::Failed;
}

}  // namespace Tevra
