#include "desktop/services/CCalcPreferences.h"

#include "desktop/services/CalcHelpTopics.h"
#include "desktop/services/QtText.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using Tevra::CCalcSettings;

namespace {

enum class Group { Keypad, Log, Calculation };
enum class Kind {
    Check,        // a check box: the field is set when it is checked
    List,         // a drop-down list: the field is the selected index
    Choice,       // a drop-down list: the field is the selected entry's value
    FreeMain,     // "Memory free confirmation": FreeConfirmation above 0
    FreePartial,  // "Partial free confirmation as well": FreeConfirmation above 1
};

// A list's entries: one of the settings record's lists.
using Entries = std::span<const std::u16string_view>;

// One control of the dialog. A list either carries its own label (Text) or,
// with an empty Text, stands beside the check box before it.
struct PreferenceControl {
    Group GroupId;
    Kind ControlKind;
    const char* Name;  // object name: the field it edits
    const char* Text;
    std::uint32_t CCalcSettings::*Field;
    Entries ListEntries = {};
    bool Indented = false;
    std::span<const std::uint32_t> ChoiceValues = {};  // a Choice list's values, one per entry
};

const std::array<PreferenceControl, 18> Controls = {{
    {Group::Keypad, Kind::Check, "AppendFunction", "Append functions with", &CCalcSettings::AppendFunction},
    {Group::Keypad, Kind::List, "AppendFunctionWith", "", &CCalcSettings::AppendFunctionWith, Tevra::Brackets},
    {Group::Keypad,
     Kind::Check,
     "AppendIncludePower",
     "including power ^",
     &CCalcSettings::AppendIncludePower,
     {},
     true},
    {Group::Keypad, Kind::Check, "AppendMemory", "Append memory with", &CCalcSettings::AppendMemory},
    {Group::Keypad, Kind::List, "AppendMemoryWith", "", &CCalcSettings::AppendMemoryWith, Tevra::Brackets},
    {Group::Keypad, Kind::List, "FormatResult", "Result format", &CCalcSettings::FormatResult, Tevra::ResultKeywords},
    {Group::Keypad, Kind::List, "FormatMemory", "Memory format", &CCalcSettings::FormatMemory, Tevra::MemoryKeywords},
    {Group::Keypad, Kind::List, "FormatRandom", "Random number format", &CCalcSettings::FormatRandom,
     Tevra::RandomKeywords},
    {Group::Keypad, Kind::List, "Notation", "Notation", &CCalcSettings::Notation, Tevra::NotationNames},
    {Group::Keypad, Kind::List, "NotationCase", "Case", &CCalcSettings::NotationCase, Tevra::NotationCaseNames},
    {Group::Keypad, Kind::Check, "GammaFunction", "Gamma function intead of factorial", &CCalcSettings::GammaFunction},
    {Group::Log, Kind::Check, "LogPopup", "Pop-up on new message if hidden", &CCalcSettings::LogPopup},
    {Group::Calculation, Kind::List, "TrigonometricUnits", "Trigonometric units", &CCalcSettings::TrigonometricUnits,
     Tevra::UnitsNames},
    {Group::Calculation, Kind::FreeMain, "FreeConfirmation", "Memory free confirmation",
     &CCalcSettings::FreeConfirmation},
    {Group::Calculation,
     Kind::FreePartial,
     "PartialFreeConfirmation",
     "Partial free confirmation as well",
     &CCalcSettings::FreeConfirmation,
     {},
     true},
    {Group::Calculation, Kind::Check, "UseSSE2", "Use SSE2 processor module", &CCalcSettings::UseSSE2},
    {Group::Calculation, Kind::Choice, "DigitsInResults", "Digits in results", &CCalcSettings::DigitsInResults,
     Tevra::DigitChoiceNames, false, Tevra::DigitChoices},
    {Group::Calculation, Kind::Check, "KeepMemory", "Keep memory between sessions", &CCalcSettings::KeepMemory},
}};

struct GroupTitle {
    Group GroupId;
    const char* Title;
};
constexpr std::array<GroupTitle, 3> Groups = {{
    {Group::Keypad, "Keypad"},
    {Group::Log, "Log"},
    {Group::Calculation, "Calculation"},
}};

constexpr int IndentPixels = 20;
constexpr int ColumnGap = 12;

// The partial box's state kept while "Memory free confirmation" is unchecked,
// for the rest of the run; none until that box is first clicked.
std::optional<bool> RememberedPartialConfirmation;

CCalcSettings DefaultRecord()
{
    CCalcSettings defaults;
    for (const Tevra::SettingField& field : Tevra::SettingFields)
        defaults.*field.Field = field.Default;
    return defaults;
}

}  // namespace

CCalcPreferences::CCalcPreferences(CCalcSettings& record, QWidget* parent) : QDialog(parent), record_(record)
{
    setWindowTitle(QStringLiteral("Preferences"));
    CalcHelp::setTopic(this, CalcHelp::Preferences);

    auto* layout = new QVBoxLayout(this);
    std::array<QGridLayout*, Groups.size()> grids{};
    for (std::size_t g = 0; g < Groups.size(); ++g) {
        auto* box = new QGroupBox(Tevra::ToQString(Groups[g].Title), this);
        grids[g] = new QGridLayout(box);
        grids[g]->setColumnStretch(1, 1);
        grids[g]->setHorizontalSpacing(ColumnGap);
        layout->addWidget(box);
    }

    controls_.reserve(Controls.size());
    for (const PreferenceControl& control : Controls) {
        QGridLayout* grid = grids[static_cast<std::size_t>(control.GroupId)];
        const QString text = Tevra::ToQString(control.Text);
        QWidget* widget = nullptr;
        if (control.ControlKind == Kind::List || control.ControlKind == Kind::Choice) {
            auto* list = new QComboBox(this);
            for (const std::u16string_view entry : control.ListEntries)
                list->addItem(Tevra::ToQString(entry));
            widget = list;
            if (text.isEmpty()) {
                // Beside the check box of the row before.
                grid->addWidget(list, grid->rowCount() - 1, 1);
            } else {
                const int row = grid->rowCount();
                auto* label = new QLabel(text, this);
                label->setBuddy(list);
                grid->addWidget(label, row, 0);
                grid->addWidget(list, row, 1);
            }
        } else {
            auto* check = new QCheckBox(text, this);
            widget = check;
            const int row = grid->rowCount();
            if (control.Indented) {
                auto* indent = new QHBoxLayout;
                indent->addSpacing(IndentPixels);
                indent->addWidget(check);
                grid->addLayout(indent, row, 0, 1, 2);
            } else {
                grid->addWidget(check, row, 0, 1, 2);
            }
            if (control.ControlKind == Kind::FreeMain)
                freeConfirmation_ = check;
            else if (control.ControlKind == Kind::FreePartial)
                partialFreeConfirmation_ = check;
        }
        widget->setObjectName(Tevra::ToQString(control.Name));
        CalcHelp::setTopic(widget, CalcHelp::Preferences + QLatin1Char('#') + widget->objectName());
        controls_.push_back(widget);
    }

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    auto* defaults = buttons->addButton(QStringLiteral("Default"), QDialogButtonBox::ResetRole);
    ok->setDefault(true);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CCalcPreferences::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCalcPreferences::reject);
    connect(defaults, &QPushButton::clicked, this, &CCalcPreferences::restoreDefaults);
    connect(freeConfirmation_, &QCheckBox::clicked, this, &CCalcPreferences::onFreeConfirmationClicked);

    showRecord(record_);
    // The SSE2 switch means nothing on a processor without SSE2.
    for (std::size_t i = 0; i < Controls.size(); ++i) {
        if (Controls[i].Field == &CCalcSettings::UseSSE2)
            controls_[i]->setEnabled(record_.SSE2Available);
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CCalcPreferences::~CCalcPreferences() = default;

std::vector<CCalcPreferences::ControlText> CCalcPreferences::ControlTexts()
{
    std::vector<ControlText> texts;
    for (const PreferenceControl& control : Controls) {
        const auto group = std::find_if(Groups.begin(), Groups.end(),
                                        [&control](const GroupTitle& g) { return g.GroupId == control.GroupId; });
        texts.push_back({group->Title, control.Name, control.Text,
                         std::vector<std::u16string_view>(control.ListEntries.begin(), control.ListEntries.end())});
    }
    return texts;
}

void CCalcPreferences::showRecord(const CCalcSettings& record)
{
    for (std::size_t i = 0; i < Controls.size(); ++i) {
        const PreferenceControl& control = Controls[i];
        const std::uint32_t value = record.*control.Field;
        switch (control.ControlKind) {
        case Kind::Check:
            static_cast<QCheckBox*>(controls_[i])->setChecked(value != 0);
            break;
        case Kind::Choice: {
            // A value that is none of the choices shows the first, the
            // field's default.
            const auto found = std::find(control.ChoiceValues.begin(), control.ChoiceValues.end(), value);
            const auto index = found == control.ChoiceValues.end() ? 0 : found - control.ChoiceValues.begin();
            static_cast<QComboBox*>(controls_[i])->setCurrentIndex(static_cast<int>(index));
            break;
        }
        case Kind::List: {
            auto* list = static_cast<QComboBox*>(controls_[i]);
            // Loading keeps every index in range; a record set elsewhere out
            // of range shows the first entry rather than none.
            list->setCurrentIndex(value < static_cast<std::uint32_t>(list->count()) ? static_cast<int>(value) : 0);
            break;
        }
        case Kind::FreeMain:
            static_cast<QCheckBox*>(controls_[i])->setChecked(value > 0);
            break;
        case Kind::FreePartial:
            static_cast<QCheckBox*>(controls_[i])->setChecked(value > 1);
            // Without the main confirmation the partial one has no meaning.
            controls_[i]->setEnabled(value > 0);
            break;
        }
    }
}

void CCalcPreferences::restoreDefaults()
{
    CCalcSettings defaults = DefaultRecord();
    showRecord(defaults);
}

void CCalcPreferences::forgetRememberedPartialConfirmation()
{
    RememberedPartialConfirmation.reset();
}

void CCalcPreferences::onFreeConfirmationClicked()
{
    if (!RememberedPartialConfirmation)
        RememberedPartialConfirmation = partialFreeConfirmation_->isChecked();
    if (!freeConfirmation_->isChecked()) {
        RememberedPartialConfirmation = partialFreeConfirmation_->isChecked();
        partialFreeConfirmation_->setChecked(false);
        partialFreeConfirmation_->setEnabled(false);
    } else {
        partialFreeConfirmation_->setChecked(*RememberedPartialConfirmation);
        partialFreeConfirmation_->setEnabled(true);
    }
}

void CCalcPreferences::accept()
{
    for (std::size_t i = 0; i < Controls.size(); ++i) {
        const PreferenceControl& control = Controls[i];
        switch (control.ControlKind) {
        case Kind::Check:
            record_.*control.Field = static_cast<QCheckBox*>(controls_[i])->isChecked() ? 1 : 0;
            break;
        case Kind::List:
            record_.*control.Field = static_cast<std::uint32_t>(static_cast<QComboBox*>(controls_[i])->currentIndex());
            break;
        case Kind::Choice: {
            const int index = static_cast<QComboBox*>(controls_[i])->currentIndex();
            if (index >= 0 && static_cast<std::size_t>(index) < control.ChoiceValues.size())
                record_.*control.Field = control.ChoiceValues[static_cast<std::size_t>(index)];
            break;
        }
        case Kind::FreeMain:
        case Kind::FreePartial:
            break;  // both boxes make one field, set below
        }
    }
    record_.FreeConfirmation = !freeConfirmation_->isChecked() ? 0 : partialFreeConfirmation_->isChecked() ? 2 : 1;
    record_.Modified = true;
    QDialog::accept();
}
