// Start-up: the command line, the recent-file list, the About box and what is
// (not) written at exit.
#include "support/FrameSupport.h"

#include "desktop/services/CCalcAboutBox.h"
#include "desktop/app/CCalcApp.h"
#include "desktop/services/CCalcRecentFiles.h"
#include "core/settings/CalcSettings.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/services/CalcCommands.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class AppStart : public FreshProgramTest {
protected:
    QString calculationFile(const char* name)
    {
        const QString path = directory.filePath(QLatin1String(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\xFF\xFE"
                              "1\0+\0"
                              "1\0",
                              8));
        return path;
    }

    QTemporaryDir directory;
};

TEST(CommandLine, FormsAreRecognised)
{
    struct Row {
        QStringList arguments;
        QString path;
        bool print;
        QString printer;
        bool error;
    };
    const Row rows[] = {
        {{}, "", false, "", false},
        {{"calc.vcl"}, "calc.vcl", false, "", false},
        {{"/dde"}, "", false, "", false},
        {{"/p", "calc.vcl"}, "calc.vcl", true, "", false},
        {{"/P", "calc.vcl"}, "calc.vcl", true, "", false},
        {{"-p", "calc.vcl"}, "calc.vcl", true, "", false},
        {{"/pt", "calc.vcl", "printer", "driver", "port"}, "calc.vcl", true, "printer", false},
        {{"/pt", "calc.vcl", "printer", "", ""}, "calc.vcl", true, "printer", false},
        {{"--print", "calc.vcl"}, "calc.vcl", true, "", false},
        {{"--print-to", "office", "calc.vcl"}, "calc.vcl", true, "office", false},
        {{"a.vcl", "b.vcl"}, "a.vcl", false, "", true},
        {{"/p"}, "", false, "", true},
        {{"/pt", "calc.vcl", "printer", "driver"}, "", false, "", true},
        {{"--print-to", "office"}, "", false, "", true},
        {{"/p", "a.vcl", "b.vcl"}, "a.vcl", true, "", true},
        {{"a.vcl", "/p", "b.vcl"}, "a.vcl", false, "", true},
        {{"/p", "a.vcl", "/p", "b.vcl"}, "a.vcl", true, "", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const CCalcApp::CommandLine line = CCalcApp::ParseCommandLine(row.arguments);
        EXPECT_EQ(!line.Error.isEmpty(), row.error);
        if (row.error)
            continue;
        EXPECT_EQ(line.Path, row.path);
        EXPECT_EQ(line.Print, row.print);
        EXPECT_EQ(line.Printer, row.printer);
    }
    const CCalcApp::CommandLine line =
        CCalcApp::ParseCommandLine({"/pt", "calc.vcl", "printer", "the driver", "the port"});
    EXPECT_EQ(line.Driver, QStringLiteral("the driver"));
    EXPECT_EQ(line.Port, QStringLiteral("the port"));
}

TEST_F(AppStart, NothingOnTheCommandLineStartsAnEmptyCalculation)
{
    CCalcApp app;
    ASSERT_TRUE(app.start({}));
    EXPECT_TRUE(app.frame()->isVisible());
    EXPECT_EQ(app.frame()->view()->text(), QString());
    EXPECT_EQ(app.frame()->document()->title(), QStringLiteral("Calculation"));
    app.frame()->close();
    app.shutdown();
    EXPECT_FALSE(ProgramStore().childGroups().contains(QStringLiteral("Preferences")))
        << "unchanged preferences are not written";
}

TEST_F(AppStart, APathOnTheCommandLineIsOpenedAndEntersTheRecentList)
{
    const QString path = calculationFile("start.vcl");
    CCalcApp app;
    ASSERT_TRUE(app.start({path}));
    EXPECT_EQ(app.frame()->view()->text(), QStringLiteral("1+1"));
    EXPECT_EQ(app.recentFiles()->files(), QStringList{QFileInfo(path).absoluteFilePath()});
    app.frame()->close();
}

TEST_F(AppStart, AnUnreadablePathEndsTheStart)
{
    CCalcApp app;
    // The message box of the failure is answered by closing it at once.
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    EXPECT_FALSE(app.start({directory.filePath("missing.vcl")}));
}

TEST_F(AppStart, ARejectedCommandLineBuildsNoWindowAndWritesNoSetting)
{
    const QStringList rejected[] = {{"a.vcl", "b.vcl"}, {"/p"}, {"/pt"}};
    for (const QStringList& arguments : rejected) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        {
            CCalcApp app;
            EXPECT_FALSE(app.start(arguments));
            EXPECT_EQ(app.frame(), nullptr);
            for (const QWidget* window : QApplication::topLevelWidgets())
                EXPECT_EQ(qobject_cast<const CCalcMainFrame*>(window), nullptr);
            app.shutdown();
        }
        EXPECT_TRUE(ProgramStore().allKeys().isEmpty()) << ProgramStore().allKeys().join(' ').toStdString();
    }
}

TEST_F(AppStart, ChangedPreferencesAreWrittenAtShutdown)
{
    CCalcApp app;
    ASSERT_TRUE(app.start({}));
    app.frame()->action(CalcCommand::NotationEast)->trigger();
    app.frame()->close();
    app.shutdown();
    EXPECT_EQ(ProgramStore().value("Preferences/Notation").toInt(), 1);
}

TEST_F(AppStart, RecentListKeepsTheFourNewestOnceEach)
{
    QMenu menu;
    QAction placeholder(QStringLiteral("Recent File"));
    menu.addAction(&placeholder);
    {
        CCalcRecentFiles recent(&menu, &placeholder);
        recent.load();
        EXPECT_TRUE(placeholder.isVisible());
        for (const char* name : {"/a.vcl", "/b.vcl", "/c.vcl", "/d.vcl", "/e.vcl", "/c.vcl"})
            recent.add(QLatin1String(name));
        EXPECT_EQ(recent.files(), (QStringList{"/c.vcl", "/e.vcl", "/d.vcl", "/b.vcl"}));
        EXPECT_FALSE(placeholder.isVisible());
        EXPECT_EQ(menu.actions().size(), 5);
        EXPECT_EQ(menu.actions().front()->text(), QStringLiteral("&1 /c.vcl"));
    }
    EXPECT_EQ(ProgramStore().value("Recent File List/File1").toString(), QStringLiteral("/c.vcl"));
    EXPECT_EQ(ProgramStore().value("Recent File List/File4").toString(), QStringLiteral("/b.vcl"));

    ProgramStore().setValue("Recent File List/File2", QStringList{"not", "a path"});
    QMenu again;
    QAction again_placeholder(QStringLiteral("Recent File"));
    again.addAction(&again_placeholder);
    CCalcRecentFiles reloaded(&again, &again_placeholder);
    reloaded.load();
    EXPECT_EQ(reloaded.files(), (QStringList{"/c.vcl", "/d.vcl", "/b.vcl"}));
}

TEST_F(AppStart, ARecentFileThatIsGoneIsDroppedWhenChosen)
{
    CCalcApp app;
    ASSERT_TRUE(app.start({}));
    FakePrompts prompts;
    app.frame()->setPrompts(&prompts);
    app.recentFiles()->add(directory.filePath("gone.vcl"));
    EXPECT_FALSE(app.openFile(directory.filePath("gone.vcl")));
    EXPECT_TRUE(app.recentFiles()->files().isEmpty());
    EXPECT_EQ(prompts.warnings, QStringList{"Cannot open the file for reading"});
    app.frame()->close();
}

TEST_F(AppStart, OpenDialogOffersTheCalculationFilters)
{
    CCalcApp app;
    ASSERT_TRUE(app.start({}));
    FakePrompts prompts;
    app.frame()->setPrompts(&prompts);
    prompts.openAnswers.push_back(calculationFile("open.vcl"));
    app.frame()->action(CalcCommand::FileOpen)->trigger();
    EXPECT_EQ(app.frame()->view()->text(), QStringLiteral("1+1"));
    ASSERT_EQ(prompts.openRequests.size(), 1u);
    EXPECT_EQ(
        prompts.openRequests.front().Filters,
        (QStringList{"Calculator calculation files (*.vcl)", "Calculator memory files (*.vcm)", "All files (*.*)"}));
    app.frame()->close();
}

TEST(AboutBox, ShowsTheNameAndVersion)
{
    CCalcAboutBox about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Calculator Tevra"));
    const QLabel* text = about.findChild<QLabel*>(QStringLiteral("VersionText"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("Calculator Tevra 01.01.001"));
}

}  // namespace
