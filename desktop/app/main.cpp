// The desktop program: a Qt application around CCalcApp.
#include "desktop/app/CCalcApp.h"
#include "desktop/app/CalcCommandLine.h"
#include "desktop/services/CCalcReadableStyle.h"
#include "desktop/services/PreferencesStore.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

int main(int argc, char** argv)
{
    // --help and --version answer without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const auto asked = CalcCommandLine::InformationAsked(arguments);
        asked != CalcCommandLine::Request::Action::Run) {
        QTextStream(stdout) << (asked == CalcCommandLine::Request::Action::Help
                                    ? CalcCommandLine::HelpText()
                                    : CalcCommandLine::VersionText() + "\n");
        return 0;
    }

    QApplication application(argc, argv);
    // Tick boxes that read on dark palettes too.
    QApplication::setStyle(new CCalcReadableStyle);
    QApplication::setOrganizationName(Tevra::SettingsOrganization);
    QApplication::setApplicationName(Tevra::SettingsApplication);
    QApplication::setApplicationVersion(QStringLiteral(TEVRA_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral("calculator-tevra"));
    Q_INIT_RESOURCE(tevra);
    Q_INIT_RESOURCE(tevra_help);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/calculator-tevra.svg")));

    CCalcApp calculator;
    if (!calculator.start(QApplication::arguments().mid(1)))
        return calculator.exitCode();
    const int status = QApplication::exec();
    calculator.shutdown();
    return status;
}
