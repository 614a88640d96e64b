#include "desktop/document/CalcSessionMemory.h"

#include "core/engine/Diagnostics.h"
#include "core/engine/EngineState.h"
#include "core/files/MemoryFile.h"
#include "core/memory/MemoryMap.h"
#include "desktop/document/CalcRecoveryFiles.h"
#include "desktop/services/QtText.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <optional>
#include <string>

namespace CalcSessionMemory {

namespace {

// Keeps the description of the first record of a run, and nothing else.
class CFirstDescription final : public NCalculatorText::ILogReceiver {
public:
    void Add(const NCalculatorText::LogRecord& record) override
    {
        if (Description.isEmpty())
            Description = Tevra::ToQString(record.Description);
    }
    void Clear() override { Description.clear(); }

    QString Description;
};

// A name beside the kept memory that nothing holds yet.
QString SetAsideName(const QString& directory)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir folder(directory);
    QString name = SetAsidePrefix + stamp + QStringLiteral(".vcm");
    for (int serial = 2; QFileInfo(folder.filePath(name)).exists() || QFileInfo(folder.filePath(name)).isSymLink();
         ++serial)
        name = SetAsidePrefix + stamp + QLatin1Char('-') + QString::number(serial) + QStringLiteral(".vcm");
    return name;
}

// Puts the kept memory aside and says why; the memory starts empty.
LoadOutcome SetAside(const QString& directory, const QString& cause)
{
    NCalculatorText::State().MemoryMap.FreeAll();
    NCalculatorText::State().LastResult = 0.0;
    const QString name = SetAsideName(directory);
    const QString shown = QDir::toNativeSeparators(QDir(directory).filePath(name));
    if (!CalcRecoveryFiles::Rename(directory, FileName, name))
        return {LoadOutcome::Kind::SetAside,
                QStringLiteral("The memory kept from the last session cannot be read (%1) and was left where it is: %2")
                    .arg(cause, QDir::toNativeSeparators(QDir(directory).filePath(FileName)))};
    return {LoadOutcome::Kind::SetAside,
            QStringLiteral("The memory kept from the last session cannot be read (%1). It was set aside as %2; the "
                           "memory starts empty.")
                .arg(cause, shown)};
}

}  // namespace

LoadOutcome Load(const QString& directory)
{
    const QFileInfo kept(QDir(directory).filePath(FileName));
    if (!kept.exists() && !kept.isSymLink())
        return {};

    QString error;
    const std::optional<std::string> bytes = CalcRecoveryFiles::ReadPrivately(directory, FileName, LargestFile, &error);
    if (!bytes)
        return SetAside(
            directory,
            error == QStringLiteral("too large") ? QStringLiteral("larger than %1 MB").arg(LargestFile >> 20) : error);

    // Run as Load memory runs a memory file, with its records kept here and
    // its work bounded.
    CFirstDescription log;
    Tevra::FileExecution ran = Tevra::FileExecution::CannotRead;
    bool tooLong = false;
    {
        const NCalculatorText::LogReceiverScope scope(log);
        NCalculatorText::State().WorkLeft = MostWork;
        NCalculatorText::State().WorkExhausted = false;
        ran = Tevra::ExecuteFileBytes(*bytes);
        tooLong = NCalculatorText::State().WorkExhausted;
        NCalculatorText::State().WorkLeft = NCalculatorText::UnlimitedWork;
        NCalculatorText::State().WorkExhausted = false;
    }
    switch (ran) {
    case Tevra::FileExecution::Succeeded:
        // What the program keeps only stores numbers and reports nothing;
        // a warning means the file holds something else.
        if (!log.Description.isEmpty())
            return SetAside(directory, log.Description);
        return {LoadOutcome::Kind::Loaded, {}};
    case Tevra::FileExecution::CannotRead:
        return SetAside(directory, Tevra::ToQString(Tevra::CannotReadFile));
    case Tevra::FileExecution::Failed:
        break;
    }
    if (tooLong)
        return SetAside(directory, QStringLiteral("it calculates more than a memory holds"));
    return SetAside(directory, log.Description.isEmpty() ? QStringLiteral("a statement fails") : log.Description);
}

QString Save(const QString& directory)
{
    if (QString error = CalcRecoveryFiles::MakeFolderPrivate(directory); !error.isEmpty())
        return error;
    const std::string bytes =
        Tevra::MemoryFileBytes(NCalculatorText::State().MemoryMap, true, NCalculatorText::State().LastResult);
    return CalcRecoveryFiles::WritePrivately(directory, FileName, bytes);
}

}  // namespace CalcSessionMemory
