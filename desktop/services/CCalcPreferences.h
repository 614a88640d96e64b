// The Preferences dialog: edits a copy of the preferences record and copies it
// back only on OK.
#pragma once

#include <string_view>
#include <vector>

#include <QDialog>

#include "core/settings/CalcSettings.h"

class QCheckBox;
class QWidget;

// Usage:
//     CCalcPreferences dialog(NCalculatorText::State().CalcSettings, this);
//     if (dialog.exec() == QDialog::Accepted) { refresh result pane, units, keypad }
// OK copies every control into the record, sets FreeConfirmation to 0, 1 or 2
// from its two check boxes, and sets Modified. Cancel changes nothing.
class CCalcPreferences final : public QDialog {
    Q_OBJECT

public:
    explicit CCalcPreferences(Tevra::CCalcSettings& record, QWidget* parent = nullptr);
    ~CCalcPreferences() override;

    // Copies the controls into the record and closes the dialog. The "OK"
    // button.
    void accept() override;

    // Puts the default of every field into the controls (both confirmation
    // boxes checked); nothing is stored until OK. The "Default" button.
    void restoreDefaults();

    // The partial-confirmation state remembered across dialogs for the rest of
    // the run. A new run starts with none; tests start each case that way.
    static void forgetRememberedPartialConfirmation();

    // The dialog's controls are named after the fields they edit
    // ("AppendFunction", "FormatResult", ...); the two confirmation boxes are
    // "FreeConfirmation" and "PartialFreeConfirmation".

    // Every control as the help describes it: its group's title, its name,
    // its caption (empty for a list beside the check box before it) and a
    // list's entries, in the dialog's order.
    struct ControlText {
        std::string_view Group;
        std::string_view Name;
        std::string_view Caption;
        std::vector<std::u16string_view> Entries;
    };
    static std::vector<ControlText> ControlTexts();

private:
    void onFreeConfirmationClicked();
    void showRecord(const Tevra::CCalcSettings& record);

    Tevra::CCalcSettings& record_;
    std::vector<QWidget*> controls_;  // one per entry of the control table
    QCheckBox* freeConfirmation_ = nullptr;
    QCheckBox* partialFreeConfirmation_ = nullptr;
};
