// The desktop program: a Qt application around CCalcApp.
#include "app/CCalcApp.h"
#include "app/PreferencesStore.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(Tevra::SettingsOrganization);
    QApplication::setApplicationName(Tevra::SettingsApplication);
    QApplication::setApplicationVersion(QStringLiteral(TEVRA_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral("calculator-tevra"));
    Q_INIT_RESOURCE(tevra);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/calculator-tevra.svg")));

    CCalcApp calculator;
    if (!calculator.start(QApplication::arguments().mid(1)))
        return calculator.exitStatus();
    const int status = QApplication::exec();
    calculator.shutdown();
    return status;
}
