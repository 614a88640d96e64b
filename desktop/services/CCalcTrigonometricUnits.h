// The two places where the user picks the trigonometric units: the list on
// the main toolbar and the small tool window that replaces it while the
// toolbar is docked vertically. Both run the same units step.
#pragma once

#include <QObject>
#include <QWidget>

#include "core/settings/CalcSettings.h"

class CCalcSettingsNotifier;

class QComboBox;

// The units step shared by every units list. The frame owns one, attaches its
// toolbar list and the tool window's list, and connects unitsChanged() to its
// status-bar units pane. It follows the settings notice, which it also
// announces when the user picks other units.
class CCalcUnitsStep final : public QObject {
    Q_OBJECT

public:
    explicit CCalcUnitsStep(CCalcSettingsNotifier& settings, QObject* parent = nullptr);

    // Fills list with "Radians", "Degrees", "Grads", selects the record's
    // units, runs choose() when the user picks an entry and follows every
    // later change of the units.
    void attachList(QComboBox* list);

    // The units step: sets TrigonometricUnits to index (0 to 2; anything else
    // is ignored) and Modified, then announces the change of the settings.
    void choose(int index);

    // Announces the record's current units without changing anything: on
    // every settings notice.
    void refresh();

signals:
    // The record's units are now `units`; every attached list already shows
    // them.
    void unitsChanged(int units);

private:
    CCalcSettingsNotifier& settings_;
    Tevra::CCalcSettings& record_;
};

// The tool window titled "Trigonometric function" with one units list. It is
// created hidden; the frame shows and hides it.
class CCalcTrigonometricUnits final : public QWidget {
    Q_OBJECT

public:
    CCalcTrigonometricUnits(CCalcUnitsStep& step, QWidget* parent);

    QComboBox* list() const { return list_; }

signals:
    // The window was shown or hidden (also by its own close button): the
    // toolbar's units button is checked while it is visible.
    void visibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QComboBox* list_ = nullptr;
};
