#include "desktop/document/CCalcMemoryCommands.h"

#include "core/engine/EngineState.h"
#include "core/files/CCalcFileText.h"
#include "core/files/MemoryFile.h"
#include "core/memory/MemoryMap.h"
#include "core/settings/CalcSettings.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "desktop/document/CCalcRunner.h"
#include "desktop/document/CalcFileWarnings.h"
#include "desktop/services/QtText.h"

#include <optional>
#include <string>
#include <utility>

namespace {

const QString FreeAllQuestion = QStringLiteral("You are about to erase all the memory.\nAre you sure?");

}  // namespace

void CCalcMemoryCommands::executeFile()
{
    const CalcFileDialogRequest request{QStringLiteral("Execute file"),
                                        {CalcFileFilters::Calculation, CalcFileFilters::Memory, CalcFileFilters::All},
                                        QStringLiteral("vcl"),
                                        QString()};
    chooseAndExecuteFile(request);
}

void CCalcMemoryCommands::loadMemory()
{
    const CalcFileDialogRequest request{QStringLiteral("Load memory"),
                                        {CalcFileFilters::Memory, CalcFileFilters::All},
                                        QStringLiteral("vcm"),
                                        QString(),
                                        CalcFileKind::Memory};
    chooseAndExecuteFile(request);
}

void CCalcMemoryCommands::chooseAndExecuteFile(const CalcFileDialogRequest& request)
{
    const QString path = prompts_->chooseFileToOpen(request);
    if (path.isEmpty())
        return;
    std::optional<std::string> bytes = ReadFileReporting(*prompts_, path, Tevra::MaxExecutedFileBytes);
    if (!bytes)
        return;
    if (bytes->empty()) {
        prompts_->warn(Tevra::ToQString(Tevra::CannotReadFile), QString());
        return;
    }
    runner_.execute(std::move(*bytes));
}

void CCalcMemoryCommands::saveMemory(bool all)
{
    const std::string bytes = Tevra::MemoryFileBytes(NCalculatorText::State().MemoryMap, all);
    const CalcFileDialogRequest request{QStringLiteral("Save memory"),
                                        {CalcFileFilters::Memory},
                                        QStringLiteral("vcm"),
                                        QStringLiteral("Memory 1"),
                                        CalcFileKind::Memory};
    const QString path = prompts_->chooseFileToSave(request);
    if (path.isEmpty())
        return;
    WriteFileReporting(*prompts_, path, bytes);
}

void CCalcMemoryCommands::freeMemory()
{
    if (NCalculatorText::State().CalcSettings.FreeConfirmation > 0 && !prompts_->confirm(FreeAllQuestion))
        return;
    NCalculatorText::State().MemoryMap.FreeAll();
    runner_.noticeMemoryChange();
}
