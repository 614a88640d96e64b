// Runs the widget tests on the offscreen platform, with settings kept in a
// temporary directory so that no test reads or writes the user's own.
#include "app/PreferencesStore.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    Tevra::KeepSettingsIn(settingsDir.path());
    // The running-instance socket and the desktop registration of the
    // program's start-up go to folders of this run too.
    QTemporaryDir runtimeDir;
    QTemporaryDir dataDir;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8());
    qputenv("XDG_DATA_HOME", dataDir.path().toUtf8());
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(tevra_help);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
