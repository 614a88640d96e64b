// The program on the desktop: its two file types (shared-mime-info), its
// desktop entry that opens both, and its icons in the hicolor theme. The same
// texts are installed system-wide by the build and written for the user at
// every start, when the user's copies are missing or name another program;
// what fails there is ignored and never keeps the window waiting.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <span>
#include <string_view>
#include <vector>

namespace Tevra::Desktop {

// The desktop entry's id and the application icon's name.
inline constexpr std::string_view ApplicationId = "calculator-tevra";

// A file type of the program.
struct FileType {
    std::string_view MimeType;
    std::string_view Comment;
    std::string_view Pattern;  // glob of the extension
    std::string_view Icon;     // the type's icon in the resources
};

// The calculation (.vcl) and the memory file (.vcm).
std::span<const FileType> FileTypes();

// An action of the desktop entry: the program with Arguments before the file.
struct Action {
    std::string_view Id;
    std::string_view Name;
    std::string_view Arguments;
};

std::span<const Action> Actions();

// The shared-mime-info package of both types.
QByteArray MimePackage();

// The desktop entry, starting program: an absolute path, or a name found on
// the search path for a system-wide install.
QByteArray DesktopEntry(const QString& program);

// The program an Exec line of a desktop entry starts (its first word, with
// the entry's quoting taken out); empty when the line cannot be read.
QString ExecProgram(const QByteArray& desktopEntry);

// An Exec word for path, quoted and escaped as desktop entries need.
QString ExecWord(const QString& path);

// An icon file of the hicolor theme: its path under icons/hicolor and its
// bytes (SVG for "scalable", PNG for the fixed sizes).
struct IconFile {
    QString Path;
    QByteArray Bytes;
};

// The application icon and the two file-type icons, scalable and at every
// fixed size. The PNGs are drawn from the SVGs.
std::vector<IconFile> IconFiles();

// What a registration did.
struct Registration {
    QStringList Written;  // files written, relative to the data folder
    QStringList Ran;      // tools run (update-mime-database, ...)
};

// Writes the user's copies under dataHome (XDG_DATA_HOME) for program, when
// they are missing or start another program, and refreshes the desktop's
// caches with the tools that are there. A desktop entry for program in one of
// systemDataDirs (XDG_DATA_DIRS) registers it already: then nothing is
// written, unless the user's own entry starts another program.
Registration RegisterForUser(const QString& dataHome, const QString& program, const QStringList& systemDataDirs);

// RegisterForUser for this program and this user's folders, on a thread of
// its own.
void RegisterInBackground();

}  // namespace Tevra::Desktop
