// The one notice that the preferences changed. Whoever changes them (OK in
// the Preferences dialog, the notation commands, either units list) sets
// their fields and Modified, then announces the change here, once; every
// window that shows something derived from the preferences (the result and
// units panes, the units lists, the notation check marks, and next the
// keypad captions, the memory values and the statistics texts) subscribes to
// settingsChanged(). The frame owns the notifier and hands it to its windows.
#pragma once

#include "core/settings/CalcSettings.h"

#include <QObject>

class CCalcSettingsNotifier final : public QObject {
    Q_OBJECT

public:
    explicit CCalcSettingsNotifier(Tevra::CCalcSettings& record, QObject* parent = nullptr);

    // The record the notice is about.
    Tevra::CCalcSettings& record() const { return record_; }

    // Tells every subscriber that the record changed, or at start-up, that
    // they must bring themselves in line with it.
    void announce();

signals:
    void settingsChanged();

private:
    Tevra::CCalcSettings& record_;
};
