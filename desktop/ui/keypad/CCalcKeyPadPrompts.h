// Everything the keypad asks the user: a colour, a font, and the message that
// a stored font cannot be used. The keypad talks only to this interface, so
// that tests can answer in place of a person.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QWidget;

class ICalcKeyPadPrompts {
public:
    virtual ~ICalcKeyPadPrompts() = default;
    // A colour, starting on current; nothing when cancelled.
    virtual std::optional<QColor> chooseColour(const QColor& current) = 0;
    // A font, starting on current; nothing when cancelled.
    virtual std::optional<QFont> chooseFont(const QFont& current) = 0;
    // "Failed to load font", with an OK button.
    virtual void fontFailed() = 0;
};

// The prompts as Qt's dialogs and message boxes, parented to a window.
class CCalcKeyPadDialogs final : public ICalcKeyPadPrompts {
public:
    explicit CCalcKeyPadDialogs(QWidget* parent) : parent_(parent) {}

    std::optional<QColor> chooseColour(const QColor& current) override;
    std::optional<QFont> chooseFont(const QFont& current) override;
    void fontFailed() override;

private:
    QWidget* parent_;
};

// The message shown when a stored keypad font cannot be used.
inline const QString FontFailedMessage = QStringLiteral("Failed to load font");
