// Keeps the preferences record in the settings store: loaded once at start-up,
// written back at exit when something changed during the run.
#pragma once

#include "core/settings/CalcSettings.h"

class QSettings;

namespace Tevra {

// Whether the processor has the SSE2 instruction set (always true on x86-64).
bool ProbeSSE2();

// Sets SSE2Available from the processor, then reads every field of
// SettingFields from the "Preferences" group of settings, in load order. A
// value that is missing, not an unsigned 32-bit number, or one its field may
// not take gives that field's default; the other fields are still read.
// Nothing is written.
void LoadPreferences(CCalcSettings& record, QSettings& settings);

// Removes what no part of the program reads: keys at the top of the store,
// and in the "Preferences" group every key that is not one of the fields,
// every group, and every value that loading refuses. The other groups belong
// to the windows and are left alone.
void DropUnknownSettings(QSettings& settings);

// Drops the unknown settings, then writes all the fields into the
// "Preferences" group when the record's Modified flag is set; the settings
// object keeps them until it is synced.
void WritePreferences(const CCalcSettings& record, QSettings& settings);
// WritePreferences, then the settings synced with their file.
void SavePreferences(const CCalcSettings& record, QSettings& settings);

// The same for the process-wide CalcSettings and the program's own settings
// store ("Vossek", "Calculator Tevra").
void LoadPreferences();
void SavePreferences();

}  // namespace Tevra
