#include "desktop/document/CalcFileFolders.h"

#include "desktop/services/PreferencesStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString FoldersGroup = QStringLiteral("GUI/FileDialogs");

QString KeyOf(CalcFileKind kind)
{
    switch (kind) {
    case CalcFileKind::Calculation:
        return QStringLiteral("CalculationFolder");
    case CalcFileKind::Memory:
        return QStringLiteral("MemoryFolder");
    }
    return QStringLiteral("CalculationFolder");
}

}  // namespace

QString LastFileFolder(CalcFileKind kind)
{
    QSettings settings = Tevra::ProgramSettings();
    const QVariant stored = settings.value(FoldersGroup + QLatin1Char('/') + KeyOf(kind));
    if (stored.typeId() != QMetaType::QString)
        return {};
    const QString folder = stored.toString();
    // A folder removed since, or a value that is no absolute folder at all,
    // leaves the dialog where it would open anyway.
    const QFileInfo info(folder);
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !info.isDir())
        return {};
    return info.absoluteFilePath();
}

void RememberFileFolder(CalcFileKind kind, const QString& chosenFile)
{
    if (chosenFile.isEmpty())
        return;
    QSettings settings = Tevra::ProgramSettings();
    settings.setValue(FoldersGroup + QLatin1Char('/') + KeyOf(kind), QFileInfo(chosenFile).absolutePath());
}
