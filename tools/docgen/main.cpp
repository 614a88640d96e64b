// tevra_docgen: makes, at build time, what the program's tables hold for
// people to read: the help pages with their resource file, the manual pages,
// and the files that put the program on the desktop (desktop entry, file
// types, icons). It stops the build when the help and the tables disagree.
//
//     tevra_docgen help FRAGMENTS OUTPUT
//     tevra_docgen man OUTPUT
//     tevra_docgen desktop OUTPUT
#include "desktop/app/DesktopIntegration.h"
#include "tools/docgen/HelpPages.h"
#include "tools/docgen/ManPages.h"
#include "tools/docgen/OutputFile.h"

#include <QGuiApplication>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool WriteDesktopFiles(const std::string& output, std::vector<std::string>& errors)
{
    using namespace Tevra::Desktop;
    const std::string id(ApplicationId);
    // The installed entry finds the program on the search path.
    const QByteArray entry = DesktopEntry(QString::fromStdString(id));
    const QByteArray mime = MimePackage();
    bool ok = DocGen::WriteIfChanged(output + "/" + id + ".desktop", std::string_view(entry.data(), entry.size()));
    ok = DocGen::WriteIfChanged(output + "/" + id + ".xml", std::string_view(mime.data(), mime.size())) && ok;
    for (const IconFile& icon : IconFiles()) {
        const std::string path = output + "/icons/hicolor/" + icon.Path.toStdString();
        ok = DocGen::WriteIfChanged(path, std::string_view(icon.Bytes.data(), icon.Bytes.size())) && ok;
    }
    if (!ok)
        errors.push_back("cannot write the desktop files into " + output);
    return ok;
}

int Usage()
{
    std::fputs("usage: tevra_docgen help FRAGMENTS OUTPUT | man OUTPUT | desktop OUTPUT\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
        return Usage();
    std::vector<std::string> errors;
    bool done = false;
    if (arguments[0] == "help" && arguments.size() == 3) {
        done = DocGen::WriteHelpPages(arguments[1], arguments[2], errors);
    } else if (arguments[0] == "man" && arguments.size() == 2) {
        done = DocGen::WriteManPages(arguments[1], errors);
    } else if (arguments[0] == "desktop" && arguments.size() == 2) {
        // The icons are drawn with the toolkit's painter, which wants its
        // application; no display is needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int qtArgc = 1;
        QGuiApplication application(qtArgc, argv);
        Q_INIT_RESOURCE(tevra);
        done = WriteDesktopFiles(arguments[1], errors);
    } else {
        return Usage();
    }
    for (const std::string& error : errors)
        std::fprintf(stderr, "tevra_docgen: %s\n", error.c_str());
    return done && errors.empty() ? 0 : 1;
}
