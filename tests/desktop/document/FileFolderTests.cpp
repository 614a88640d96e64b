// File dialogs open in the folder last used for their kind of file, also
// after a restart; a folder that is gone or a damaged setting is ignored.
#include "desktop/document/CCalcDocPrompts.h"
#include "desktop/document/CalcFileFolders.h"

#include "desktop/services/PreferencesStore.h"

#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FileFolders : public ::testing::Test {
protected:
    void SetUp() override { Store().remove(QStringLiteral("GUI/FileDialogs")); }
    void TearDown() override { Store().remove(QStringLiteral("GUI/FileDialogs")); }
    static QSettings Store() { return QSettings(Tevra::SettingsOrganization, Tevra::SettingsApplication); }

    QTemporaryDir calculations;
    QTemporaryDir memory;
};

TEST_F(FileFolders, EachKindRemembersItsOwnFolder)
{
    EXPECT_EQ(LastFileFolder(CalcFileKind::Calculation), QString());
    RememberFileFolder(CalcFileKind::Calculation, calculations.filePath(QStringLiteral("a.vcl")));
    RememberFileFolder(CalcFileKind::Memory, memory.filePath(QStringLiteral("m.vcm")));
    EXPECT_EQ(LastFileFolder(CalcFileKind::Calculation), QDir(calculations.path()).absolutePath());
    EXPECT_EQ(LastFileFolder(CalcFileKind::Memory), QDir(memory.path()).absolutePath());
    EXPECT_EQ(Store().value(QStringLiteral("GUI/FileDialogs/MemoryFolder")).toString(),
              QDir(memory.path()).absolutePath());
}

TEST_F(FileFolders, GoneOrDamagedFoldersAreIgnored)
{
    const QVariant bad[] = {QStringLiteral("/no/such/folder"), QStringLiteral("relative/folder"), QString(),
                            QVariant(42), QVariant(QStringList{QStringLiteral("/tmp")})};
    for (const QVariant& value : bad) {
        Store().setValue(QStringLiteral("GUI/FileDialogs/CalculationFolder"), value);
        EXPECT_EQ(LastFileFolder(CalcFileKind::Calculation), QString()) << value.toString().toStdString();
    }
}

TEST_F(FileFolders, DialogsOpenInTheFolderLastUsedForTheirKind)
{
    RememberFileFolder(CalcFileKind::Memory, memory.filePath(QStringLiteral("m.vcm")));
    RememberFileFolder(CalcFileKind::Calculation, calculations.filePath(QStringLiteral("c.vcl")));
    QFileDialog load;
    PrepareFileDialog(load,
                      {QStringLiteral("Load memory"), {}, QStringLiteral("vcm"), QString(), CalcFileKind::Memory});
    EXPECT_EQ(load.directory().absolutePath(), QDir(memory.path()).absolutePath());
    EXPECT_EQ(load.windowTitle(), QStringLiteral("Load memory"));

    QFileDialog save;
    PrepareFileDialog(save, {QStringLiteral("Save As"), {}, QStringLiteral("vcl"), QStringLiteral("Calculation.vcl")});
    EXPECT_EQ(save.directory().absolutePath(), QDir(calculations.path()).absolutePath());

    // A document that has a path proposes it, folder and all.
    QFileDialog saveAgain;
    PrepareFileDialog(saveAgain,
                      {QStringLiteral("Save As"), {}, QStringLiteral("vcl"), memory.filePath(QStringLiteral("x.vcl"))});
    EXPECT_EQ(saveAgain.directory().absolutePath(), QDir(memory.path()).absolutePath());
}

}  // namespace
