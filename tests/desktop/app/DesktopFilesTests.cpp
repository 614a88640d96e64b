// The program on the desktop, against the real desktop tools: the entry
// validates, the file types are what the MIME database reports for .vcl and
// .vcm files, and registration writes the user's copies only when they are
// missing or start another program. Everything goes into temporary folders.
#include "desktop/app/DesktopIntegration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace Tevra::Desktop;

struct ToolRun {
    bool Ran = false;
    int ExitCode = -1;
    QString Output;
};

// Runs a desktop tool with the data folders of the test.
ToolRun RunTool(const QString& tool, const QStringList& arguments, const QString& dataHome = QString())
{
    ToolRun run;
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty())
        return run;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!dataHome.isEmpty()) {
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/share"));
        // xdg-mime asks GLib's gio, which reads the same database as the
        // file managers of the desktops.
        environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
        environment.insert(QStringLiteral("HOME"), dataHome);
    }
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(path, arguments);
    if (!process.waitForFinished(60000))
        return run;
    run.Ran = true;
    run.ExitCode = process.exitCode();
    run.Output = QString::fromUtf8(process.readAll()).trimmed();
    return run;
}

#define REQUIRE_TOOL(run, tool)                                                                                        \
    if (!(run).Ran)                                                                                                    \
    GTEST_FAIL() << (tool) << " is missing: bash scripts/deps.sh installs it"

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class Registration : public ::testing::Test {
protected:
    QString data(const QString& relative) const { return QDir(home.path()).filePath(relative); }
    // A program of the test's own: an executable file.
    QString program(const QString& name)
    {
        const QString path = QDir(programs.path()).filePath(name);
        Write(path, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    QTemporaryDir home;
    QTemporaryDir programs;
};

TEST(DesktopEntry, ExecWordsRoundTripThroughTheEntrysQuoting)
{
    const char* paths[] = {
        "/usr/bin/calculator-tevra",
        "/opt/Calculator Tevra/bin/calculator-tevra",
        "/home/o'neil/bin/calc",
        "/tmp/100%/calc",
        "/tmp/a\"b/calc",
        "/tmp/back\\slash/calc",
        "/tmp/$HOME/`x`/calc",
        "/tmp/tab\there/calc",
    };
    for (const char* raw : paths) {
        const QString path = QString::fromUtf8(raw);
        SCOPED_TRACE(raw);
        const QByteArray entry = DesktopEntry(path);
        EXPECT_EQ(ExecProgram(entry), path);
        EXPECT_FALSE(entry.contains('\t')) << "tabs are escaped";
    }
    EXPECT_EQ(ExecProgram("[Desktop Entry]\nExec=\"/unclosed quote %f\n"), QString());
    EXPECT_EQ(ExecProgram("[Desktop Action x]\nExec=/other %f\n"), QString()) << "only the main group counts";
    EXPECT_EQ(ExecProgram(QByteArray()), QString());
}

TEST(DesktopEntry, TheEntryAndTheTypesValidate)
{
    QTemporaryDir folder;
    const QString entry = folder.filePath(QStringLiteral("calculator-tevra.desktop"));
    Write(entry, DesktopEntry(QStringLiteral("/opt/Calculator Tevra/calculator-tevra")));
    const ToolRun validate = RunTool(QStringLiteral("desktop-file-validate"), {entry});
    REQUIRE_TOOL(validate, "desktop-file-validate");
    EXPECT_EQ(validate.ExitCode, 0) << validate.Output.toStdString();
    EXPECT_TRUE(validate.Output.isEmpty()) << validate.Output.toStdString();

    const QString mime = folder.filePath(QStringLiteral("calculator-tevra.xml"));
    Write(mime, MimePackage());
    const ToolRun wellFormed = RunTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), mime});
    REQUIRE_TOOL(wellFormed, "xmllint");
    EXPECT_EQ(wellFormed.ExitCode, 0) << wellFormed.Output.toStdString();

    // Print from a file's menu: the program prints the file and ends.
    const QByteArray plain = DesktopEntry(QStringLiteral("calculator-tevra"));
    EXPECT_TRUE(plain.contains("Actions=Print;\n")) << plain.toStdString();
    EXPECT_TRUE(plain.contains("\n[Desktop Action Print]\nName=Print\nExec=calculator-tevra /p %f\n"))
        << plain.toStdString();

    for (const FileType& type : FileTypes()) {
        SCOPED_TRACE(std::string(type.MimeType));
        EXPECT_TRUE(DesktopEntry(QStringLiteral("x")).contains(QByteArray(type.MimeType.data()) + ';'));
        EXPECT_TRUE(MimePackage().contains(QByteArray(type.Comment.data())));
    }
}

TEST_F(Registration, WritesTheUsersCopiesAndTheDesktopFindsTheTypes)
{
    const QString ours = program(QStringLiteral("calculator-tevra"));
    const Tevra::Desktop::Registration done = RegisterForUser(home.path(), ours, {});
    EXPECT_TRUE(done.Written.contains(QStringLiteral("applications/calculator-tevra.desktop")));
    EXPECT_TRUE(done.Written.contains(QStringLiteral("mime/packages/calculator-tevra.xml")));
    EXPECT_TRUE(done.Written.contains(QStringLiteral("icons/hicolor/scalable/apps/calculator-tevra.svg")));
    EXPECT_TRUE(done.Written.contains(QStringLiteral("icons/hicolor/48x48/apps/calculator-tevra.png")));
    EXPECT_TRUE(
        done.Written.contains(QStringLiteral("icons/hicolor/scalable/mimetypes/application-x-tevra-memory.svg")));
    EXPECT_TRUE(done.Ran.contains(QStringLiteral("update-mime-database"))) << "the tool is installed here";
    EXPECT_EQ(ExecProgram(Read(data(QStringLiteral("applications/calculator-tevra.desktop")))), ours);
    EXPECT_TRUE(Read(data(QStringLiteral("icons/hicolor/256x256/apps/calculator-tevra.png"))).startsWith("\x89PNG"));

    const ToolRun validate = RunTool(QStringLiteral("desktop-file-validate"),
                                     {data(QStringLiteral("applications/calculator-tevra.desktop"))});
    REQUIRE_TOOL(validate, "desktop-file-validate");
    EXPECT_EQ(validate.ExitCode, 0) << validate.Output.toStdString();

    // What the desktop's MIME database says of our files, by name and, for
    // a memory file without its extension, by its content.
    struct Row {
        const char* Name;
        QByteArray Bytes;
        const char* Type;
    };
    // The length comes from the literal (less its closing null), so that no
    // count written by hand reads past it.
    static constexpr char memoryBytes[] = "\xFF\xFE"
                                          "2\0-\0>\0M\0e\0m\0[\0"
                                          "a\0]\0;\0\r\0\n\0";
    const QByteArray memoryFile = QByteArray(memoryBytes, sizeof memoryBytes - 1);
    const Row rows[] = {
        {"sums.vcl",
         QByteArray("\xFF\xFE"
                    "1\0+\0"
                    "1\0",
                    8),
         "application/x-tevra-calculation"},
        {"cells.vcm", memoryFile, "application/x-tevra-memory"},
        {"UPPER.VCL",
         QByteArray("\xFF\xFE"
                    "2\0",
                    4),
         "application/x-tevra-calculation"},
        {"cells-without-extension", memoryFile, "application/x-tevra-memory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const QString file = QDir(programs.path()).filePath(QString::fromUtf8(row.Name));
        Write(file, row.Bytes);
        const ToolRun query = RunTool(QStringLiteral("xdg-mime"),
                                      {QStringLiteral("query"), QStringLiteral("filetype"), file}, home.path());
        REQUIRE_TOOL(query, "xdg-mime");
        EXPECT_EQ(query.Output, QString::fromUtf8(row.Type));
    }
    for (const FileType& type : FileTypes()) {
        const ToolRun handler = RunTool(QStringLiteral("xdg-mime"),
                                        {QStringLiteral("query"), QStringLiteral("default"),
                                         QString::fromUtf8(type.MimeType.data(), type.MimeType.size())},
                                        home.path());
        EXPECT_EQ(handler.Output, QStringLiteral("calculator-tevra.desktop")) << type.MimeType;
    }
}

TEST_F(Registration, WritesNothingWhenTheCopiesAreThereAndOurs)
{
    const QString ours = program(QStringLiteral("calculator-tevra"));
    ASSERT_FALSE(RegisterForUser(home.path(), ours, {}).Written.isEmpty());
    const Tevra::Desktop::Registration again = RegisterForUser(home.path(), ours, {});
    EXPECT_TRUE(again.Written.isEmpty()) << again.Written.join(' ').toStdString();
    EXPECT_TRUE(again.Ran.isEmpty());

    // An entry of ours that the user changed stays as it is.
    const QString entry = data(QStringLiteral("applications/calculator-tevra.desktop"));
    const QByteArray edited = Read(entry).replace("Terminal=false", "Terminal=false\nX-Edited=yes");
    Write(entry, edited);
    EXPECT_TRUE(RegisterForUser(home.path(), ours, {}).Written.isEmpty());
    EXPECT_EQ(Read(entry), edited);

    // A missing icon comes back on its own.
    QFile::remove(data(QStringLiteral("icons/hicolor/32x32/apps/calculator-tevra.png")));
    EXPECT_EQ(RegisterForUser(home.path(), ours, {}).Written,
              QStringList{QStringLiteral("icons/hicolor/32x32/apps/calculator-tevra.png")});
}

TEST_F(Registration, AnEntryThatStartsAnotherProgramIsReplaced)
{
    const QString old = program(QStringLiteral("old-calculator-tevra"));
    const QString ours = program(QStringLiteral("calculator-tevra"));
    ASSERT_FALSE(RegisterForUser(home.path(), old, {}).Written.isEmpty());
    const Tevra::Desktop::Registration moved = RegisterForUser(home.path(), ours, {});
    EXPECT_TRUE(moved.Written.contains(QStringLiteral("applications/calculator-tevra.desktop")));
    EXPECT_TRUE(moved.Written.contains(QStringLiteral("icons/hicolor/scalable/apps/calculator-tevra.svg")))
        << "a new entry brings its icons";
    EXPECT_EQ(ExecProgram(Read(data(QStringLiteral("applications/calculator-tevra.desktop")))), ours);

    // An entry that starts a program that is gone counts as another's.
    const QString gone = QDir(programs.path()).filePath(QStringLiteral("gone"));
    Write(data(QStringLiteral("applications/calculator-tevra.desktop")), DesktopEntry(gone));
    EXPECT_FALSE(RegisterForUser(home.path(), ours, {}).Written.isEmpty());
}

TEST_F(Registration, AnInstallForEverybodyNeedsNoCopiesOfTheUser)
{
    QTemporaryDir system;
    const QString ours = program(QStringLiteral("calculator-tevra"));
    Write(QDir(system.path()).filePath(QStringLiteral("applications/calculator-tevra.desktop")), DesktopEntry(ours));
    EXPECT_TRUE(RegisterForUser(home.path(), ours, {system.path()}).Written.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(data(QStringLiteral("applications"))));

    // Installed for everybody, but another program's: the user's copies go in.
    const QString other = program(QStringLiteral("other"));
    EXPECT_FALSE(RegisterForUser(home.path(), other, {system.path()}).Written.isEmpty());
}

TEST_F(Registration, AFolderThatCannotBeWrittenIsLeftAlone)
{
    // A file where the data folder's applications folder should be.
    Write(data(QStringLiteral("applications")), "not a folder");
    Write(data(QStringLiteral("mime")), "not a folder");
    Write(data(QStringLiteral("icons")), "not a folder");
    const Tevra::Desktop::Registration done = RegisterForUser(home.path(), program(QStringLiteral("c")), {});
    EXPECT_TRUE(done.Written.isEmpty()) << done.Written.join(' ').toStdString();
    EXPECT_TRUE(done.Ran.isEmpty());
}

}  // namespace
