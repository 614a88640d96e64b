#include "desktop/services/CCalcSettingsNotifier.h"

CCalcSettingsNotifier::CCalcSettingsNotifier(Tevra::CCalcSettings& record, QObject* parent)
    : QObject(parent), record_(record)
{
}

void CCalcSettingsNotifier::announce()
{
    emit settingsChanged();
}
