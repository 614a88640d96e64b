// Runs the widget tests on the offscreen platform, with settings kept in a
// temporary directory so that no test reads or writes the user's own.
#include "desktop/services/PreferencesStore.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    // The offscreen screen is as large as a desktop monitor (its own default
    // is 800 by 600), so that the frame with all its bars fits as it does on
    // a user's screen.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        const QString screenFile = settingsDir.filePath(QStringLiteral("screen.json"));
        QFile screen(screenFile);
        if (screen.open(QIODevice::WriteOnly)) {
            screen.write(R"({"screens": [{"name": "Desktop", "x": 0, "y": 0, "width": 1600, "height": 1000, )"
                         R"("logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
            screen.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screenFile.toUtf8());
        }
    }
    Tevra::KeepSettingsIn(settingsDir.path());
    // The running-instance socket and the desktop registration of the
    // program's start-up go to folders of this run too.
    QTemporaryDir runtimeDir;
    QTemporaryDir dataDir;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8());
    qputenv("XDG_DATA_HOME", dataDir.path().toUtf8());
    // Recovery copies, too, go to a temporary directory; a test's child
    // process keeps its parent's, which it inherits.
    if (qEnvironmentVariableIsEmpty("TEVRA_TEST_CHILD"))
        qputenv("XDG_STATE_HOME", settingsDir.filePath(QStringLiteral("state")).toUtf8());
    // Nor the machine's print system: its server is a socket that is not
    // there, so no printer is installed; jobs print to PDF files.
    qputenv("CUPS_SERVER", (settingsDir.path() + QStringLiteral("/no-print-system.sock")).toUtf8());
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(tevra_help);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
