// The keypad: 72 buttons that compose calculations without typing. Every
// button sends a piece of text or a command code to one ICmdReceiver (the
// document); what it sends and the caption it shows follow the preferences.
// The buttons, their captions, texts and places come from the button table
// (KeypadButtons.h) and the layout function (KeypadLayout.h); the font,
// colours and drawing style are the keypad's own and persist in
// "GUI/Keypad", read when the panel is created and written when it is
// destroyed.
//
// Usage by the frame:
//     auto* keypad = new CCalcKeyPad(keypadBar);
//     keypad->SetReceiver(&document);
//     keypad->followSettings(notifier);   // captions now and on every notice
//     keypad->setHelpRequests(&help);      // F1 over a button
//     keypad->bindCommands(frame);         // the Set > Keypad menu
#pragma once

#include "desktop/ui/CCalcCmdReceiver.h"
#include "desktop/ui/keypad/KeypadAppearance.h"
#include "desktop/ui/keypad/KeypadButtons.h"
#include "desktop/ui/keypad/KeypadLayout.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class CCalcHelpRequests;
class CCalcSettingsNotifier;
class CColorButton;
class ICalcCommandBinder;
class ICalcKeyPadPrompts;

class CCalcKeyPad final : public QWidget, public ICmdSender {
    Q_OBJECT

public:
    explicit CCalcKeyPad(QWidget* parent = nullptr);
    ~CCalcKeyPad() override;

    // ICmdSender: the receiver of every press; null makes presses do nothing.
    void SetReceiver(ICmdReceiver* receiver) override;

    // Takes the preferences from notifier's record: the captions are
    // refreshed at once and after every notice.
    void followSettings(CCalcSettingsNotifier& notifier);
    // Where F1 over a button asks for the button's help topic.
    void setHelpRequests(CCalcHelpRequests* help);
    // Binds the Set > Keypad commands (style, font, text colour, colour) with
    // their enabled states and check marks.
    void bindCommands(ICalcCommandBinder& commands);
    // Replaces the dialogs (tests answer in place of a person); null gives
    // the dialogs back.
    void setPrompts(ICalcKeyPadPrompts* prompts);

    // Brings the captions in line with the preferences: relabels the 32
    // function-name buttons and lays the panel out again when the notation
    // or the case changed; relabels the factorial button when the gamma
    // switch changed. Nothing else changes anything.
    void refreshCaptions();

    // The buttons, in the order of the button table.
    const std::vector<CColorButton*>& buttons() const { return buttons_; }
    CColorButton* button(int id) const;
    // What the captions show now.
    Keypad::CaptionState appliedCaptions() const { return applied_; }
    const Keypad::Layout& currentLayout() const { return layout_; }

    // The look.
    const Keypad::Appearance& appearance() const { return appearance_; }
    const QFont& keypadFont() const { return font_; }
    bool defaultFontInUse() const { return defaultFont_; }
    bool systemFontInUse() const { return systemFont_; }
    bool themeActive() const;
    Keypad::Style effectiveStyle() const;

    // The Set > Keypad commands.
    void setStoredStyle(Keypad::Style style);
    void selectFont();
    void useSystemFont();
    void useDefaultFont();
    // A colour dialog on a group's text or background colour.
    void chooseColour(Keypad::ColourAspect aspect, Keypad::ColourGroup group);
    void useSystemColours(Keypad::ColourAspect aspect);
    void useDefaultColours(Keypad::ColourAspect aspect);

    // Writes the look under "GUI/Keypad" (also done when destroyed).
    void saveSettings() const;

    // Lays the keys out smaller when room cannot hold the whole panel, down
    // to a size that stays readable (Keypad::FitScale); with room enough the
    // keypad is whole again. The stored font does not change.
    void fitInto(QSize room);
    double fitScale() const { return scale_; }
    // The panel at its whole size, whatever room it has now.
    QSize wholeSize() const { return whole_; }

    QSize sizeHint() const override;

signals:
    // The buttons were laid out again; the panel has its new size.
    void relaidOut();
    // The font, a colour or the style changed (the check marks follow).
    void appearanceChanged();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createButtons();
    void press(const Keypad::Button& entry);
    void showHelp(int id);
    void layOutButtons();
    void refreshDescriptions();
    const Tevra::CCalcSettings& settings() const;

    // CCalcKeyPadAppearance.cpp
    void loadAppearance();
    void applyFont(const QFont& chosen);
    void applyColours();
    void applyStyle();
    QFont systemFont() const;
    int dpi() const;
    // The keypad font's size in points, however it was set.
    double pointSize() const;
    ICalcKeyPadPrompts& prompts();

    std::vector<CColorButton*> buttons_;
    ICmdReceiver* receiver_ = nullptr;
    QPointer<CCalcSettingsNotifier> notifier_;
    QPointer<CCalcHelpRequests> help_;
    Keypad::CaptionState applied_;
    Keypad::Layout layout_;
    QSize whole_;
    double scale_ = 1.0;  // of the keys, when the room is short
    QSize room_;

    Keypad::Appearance appearance_;
    QFont font_;
    bool defaultFont_ = false;
    bool systemFont_ = false;
    bool fontFailed_ = false;  // the stored font could not be used: said once shown
    std::unique_ptr<ICalcKeyPadPrompts> dialogs_;
    ICalcKeyPadPrompts* prompts_ = nullptr;
};
