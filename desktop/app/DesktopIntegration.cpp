#include "desktop/app/DesktopIntegration.h"

#include "desktop/services/QtText.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QThreadPool>

#include <array>

namespace Tevra::Desktop {

namespace {

constexpr auto FileTypeTable = std::to_array<FileType>({
    {"application/x-tevra-calculation", "Calculator Tevra calculation file", "*.vcl",
     ":/icons/application-x-tevra-calculation.svg"},
    {"application/x-tevra-memory", "Calculator Tevra memory file", "*.vcm", ":/icons/application-x-tevra-memory.svg"},
});

// The desktop entry's actions, each the program with its arguments and the
// file. Printing to a printer named by the caller ("/pt") has no desktop
// counterpart: nothing on the desktop hands a printer to an action.
constexpr auto ActionTable = std::to_array<Action>({
    {"Print", "Print", "/p"},
});

constexpr std::string_view ApplicationIcon = ":/icons/calculator-tevra.svg";

// The fixed sizes of the PNG icons.
constexpr auto IconSizes = std::to_array<int>({16, 22, 24, 32, 48, 64, 128, 256});

// How long a cache tool may run before it is given up.
constexpr int ToolTimeoutMs = 30000;

// The magic of each type: the UTF-16 byte-order mark, and for memory files
// the "->Mem[" of their first store statement, in UTF-16LE.
QByteArray MagicOf(std::string_view mimeType)
{
    if (mimeType == FileTypeTable[1].MimeType)
        return "    <magic priority=\"50\">\n"
               "      <match type=\"string\" value=\"\\xff\\xfe\" offset=\"0\">\n"
               "        <match type=\"string\" value=\"-\\x00>\\x00M\\x00e\\x00m\\x00[\\x00\" offset=\"2:200\"/>\n"
               "      </match>\n"
               "    </magic>\n";
    return "    <magic priority=\"10\">\n"
           "      <match type=\"string\" value=\"\\xff\\xfe\" offset=\"0\"/>\n"
           "    </magic>\n";
}

QString IconName(std::string_view mimeType)
{
    return ToQString(mimeType).replace(QLatin1Char('/'), QLatin1Char('-'));
}

QByteArray Utf8(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// A value of the "string" type of desktop entries: backslash, line break,
// tab and carriage return escaped.
QString EscapeString(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QStringLiteral("\\\\");
            break;
        case '\n':
            escaped += QStringLiteral("\\n");
            break;
        case '\t':
            escaped += QStringLiteral("\\t");
            break;
        case '\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString UnescapeString(const QString& text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const QChar next = text[++i];
        switch (next.unicode()) {
        case 's':
            plain += QLatin1Char(' ');
            break;
        case 'n':
            plain += QLatin1Char('\n');
            break;
        case 't':
            plain += QLatin1Char('\t');
            break;
        case 'r':
            plain += QLatin1Char('\r');
            break;
        default:
            plain += next;
        }
    }
    return plain;
}

QByteArray RenderPng(const QByteArray& svg, int size)
{
    QSvgRenderer renderer(svg);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray ResourceBytes(std::string_view path)
{
    QFile file(ToQString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(1024 * 1024) : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

// True when program names the same file as this program's path.
bool SameProgram(const QString& program, const QString& ours)
{
    if (program.isEmpty())
        return false;
    const QString found = QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
    if (found.isEmpty())
        return false;
    return QFileInfo(found).canonicalFilePath() == QFileInfo(ours).canonicalFilePath();
}

QString DesktopFileName()
{
    return QStringLiteral("applications/%1.desktop").arg(ToQString(ApplicationId));
}

QString MimeFileName()
{
    return QStringLiteral("mime/packages/%1.xml").arg(ToQString(ApplicationId));
}

// Runs tool with arguments when it is installed; true when it ran.
bool RunTool(const QString& tool, const QStringList& arguments)
{
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty())
        return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(path, arguments);
    if (!process.waitForStarted(ToolTimeoutMs))
        return false;
    if (!process.waitForFinished(ToolTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return true;
}

// An icon file to make: its path under icons/hicolor, the SVG it comes from
// and its size (0 for the SVG itself).
struct IconSource {
    QString Path;
    QByteArray Svg;
    int Size;
};

std::vector<IconSource> IconSources()
{
    std::vector<std::pair<QString, QByteArray>> icons = {
        {QStringLiteral("apps/") + ToQString(ApplicationId), ResourceBytes(ApplicationIcon)}};
    for (const FileType& type : FileTypeTable)
        icons.emplace_back(QStringLiteral("mimetypes/") + IconName(type.MimeType), ResourceBytes(type.Icon));

    std::vector<IconSource> sources;
    for (const auto& [name, svg] : icons) {
        const qsizetype slash = name.indexOf(QLatin1Char('/'));
        const QString context = name.left(slash);
        const QString base = name.mid(slash + 1);
        sources.push_back({QStringLiteral("scalable/%1/%2.svg").arg(context, base), svg, 0});
        for (const int size : IconSizes)
            sources.push_back({QStringLiteral("%1x%1/%2/%3.png").arg(size).arg(context, base), svg, size});
    }
    return sources;
}

}  // namespace

std::span<const FileType> FileTypes()
{
    return FileTypeTable;
}

std::span<const Action> Actions()
{
    return ActionTable;
}

QByteArray MimePackage()
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const FileType& type : FileTypeTable) {
        xml += "  <mime-type type=\"" + Utf8(type.MimeType) + "\">\n";
        xml += "    <comment>" + Utf8(type.Comment) + "</comment>\n";
        xml += "    <sub-class-of type=\"text/plain\"/>\n";
        xml += "    <icon name=\"" + IconName(type.MimeType).toUtf8() + "\"/>\n";
        xml += "    <generic-icon name=\"text-x-generic\"/>\n";
        xml += MagicOf(type.MimeType);
        xml += "    <glob pattern=\"" + Utf8(type.Pattern) + "\"/>\n";
        xml += "  </mime-type>\n";
    }
    xml += "</mime-info>\n";
    return xml;
}

QString ExecWord(const QString& path)
{
    // Reserved characters make a word need quotes; inside them four
    // characters take a backslash. A "%" is doubled either way.
    static const QString Reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString word = path;
    word.replace(QLatin1Char('%'), QStringLiteral("%%"));
    bool needsQuotes = false;
    for (const QChar c : word)
        needsQuotes = needsQuotes || Reserved.contains(c);
    if (!needsQuotes)
        return word;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : word) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QByteArray DesktopEntry(const QString& program)
{
    const QString exec = EscapeString(ExecWord(program));
    QString actionIds;
    for (const Action& action : ActionTable)
        actionIds += ToQString(action.Id) + QLatin1Char(';');
    QString mimeTypes;
    for (const FileType& type : FileTypeTable)
        mimeTypes += ToQString(type.MimeType) + QLatin1Char(';');

    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Version=1.4\n"
                                   "Name=Calculator Tevra\n"
                                   "GenericName=Scientific Calculator\n"
                                   "Comment=Write calculations as text and run them\n"
                                   "Icon=%1\n"
                                   "TryExec=%2\n"
                                   "Exec=%2 %f\n"
                                   "Terminal=false\n"
                                   "StartupNotify=false\n"
                                   "Categories=Utility;Calculator;Qt;\n"
                                   "Keywords=calculator;scientific;math;statistics;\n"
                                   "MimeType=%3\n")
                        .arg(ToQString(ApplicationId), exec, mimeTypes);
    if (!actionIds.isEmpty())
        entry += QStringLiteral("Actions=%1\n").arg(actionIds);
    for (const Action& action : ActionTable) {
        entry += QStringLiteral("\n[Desktop Action %1]\nName=%2\nExec=%3 %4 %f\n")
                     .arg(ToQString(action.Id), ToQString(action.Name), exec, ToQString(action.Arguments));
    }
    return entry.toUtf8();
}

QString ExecProgram(const QByteArray& desktopEntry)
{
    bool inMainGroup = false;
    for (const QByteArray& rawLine : desktopEntry.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup || !line.startsWith(QLatin1String("Exec")))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || line.left(equals).trimmed() != QLatin1String("Exec"))
            continue;
        // The first word, its quotes and backslashes taken out.
        const QString value = UnescapeString(line.mid(equals + 1).trimmed());
        QString word;
        bool quoted = false;
        for (qsizetype i = 0; i < value.size(); ++i) {
            const QChar c = value[i];
            if (quoted && c == QLatin1Char('\\') && i + 1 < value.size()) {
                word += value[++i];
            } else if (c == QLatin1Char('"')) {
                quoted = !quoted;
            } else if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
                break;
            } else {
                word += c;
            }
        }
        return quoted ? QString() : word.replace(QStringLiteral("%%"), QStringLiteral("%"));
    }
    return {};
}

std::vector<IconFile> IconFiles()
{
    std::vector<IconFile> files;
    for (const IconSource& source : IconSources())
        files.push_back({source.Path, source.Size == 0 ? source.Svg : RenderPng(source.Svg, source.Size)});
    return files;
}

Registration RegisterForUser(const QString& dataHome, const QString& program, const QStringList& systemDataDirs)
{
    Registration done;
    const QDir home(dataHome);
    const QString desktopPath = home.filePath(DesktopFileName());
    const bool userEntryExists = QFileInfo::exists(desktopPath);
    const bool userEntryIsOurs = userEntryExists && SameProgram(ExecProgram(ReadFile(desktopPath)), program);
    if (!userEntryExists) {
        for (const QString& dir : systemDataDirs) {
            const QString systemEntry = QDir(dir).filePath(DesktopFileName());
            if (QFileInfo::exists(systemEntry) && SameProgram(ExecProgram(ReadFile(systemEntry)), program))
                return done;  // installed for everybody
        }
    }

    if (!userEntryIsOurs && WriteFile(desktopPath, DesktopEntry(program)))
        done.Written << DesktopFileName();
    const QByteArray mime = MimePackage();
    const QString mimePath = home.filePath(MimeFileName());
    if (ReadFile(mimePath) != mime && WriteFile(mimePath, mime))
        done.Written << MimeFileName();
    // The icons come with the entry: a new entry may be a newer program.
    const bool entryWritten = done.Written.contains(DesktopFileName());
    for (const IconSource& icon : IconSources()) {
        const QString relative = QStringLiteral("icons/hicolor/") + icon.Path;
        const QString path = home.filePath(relative);
        if (!entryWritten && QFileInfo::exists(path))
            continue;
        if (WriteFile(path, icon.Size == 0 ? icon.Svg : RenderPng(icon.Svg, icon.Size)))
            done.Written << relative;
    }

    if (done.Written.contains(MimeFileName()) &&
        RunTool(QStringLiteral("update-mime-database"), {home.filePath(QStringLiteral("mime"))}))
        done.Ran << QStringLiteral("update-mime-database");
    if (entryWritten &&
        RunTool(QStringLiteral("update-desktop-database"), {home.filePath(QStringLiteral("applications"))}))
        done.Ran << QStringLiteral("update-desktop-database");
    const QString iconTheme = home.filePath(QStringLiteral("icons/hicolor"));
    if (QFileInfo::exists(iconTheme + QStringLiteral("/icon-theme.cache")) &&
        RunTool(QStringLiteral("gtk-update-icon-cache"), {QStringLiteral("-q"), QStringLiteral("-t"), iconTheme}))
        done.Ran << QStringLiteral("gtk-update-icon-cache");
    return done;
}

void RegisterInBackground()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QFileInfo(dataHome).isAbsolute())
        dataHome = QDir::home().filePath(QStringLiteral(".local/share"));
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    const QStringList systemDataDirs = dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const QString program = QCoreApplication::applicationFilePath();
    QThreadPool::globalInstance()->start(
        [dataHome, program, systemDataDirs] { RegisterForUser(dataHome, program, systemDataDirs); });
}

}  // namespace Tevra::Desktop
