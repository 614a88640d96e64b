// How a window names its help topic. A widget carries a topic id (a page of
// the help, with an optional "#anchor": "language", "messages#report-4") or a
// context number (a keypad button's id + 0x80660000); a widget whose topic
// depends on where it is pointed at (the log's rows) answers through
// ICalcHelpTopicSource. F1 asks for the topic of the focus widget, context
// help for the topic of the clicked point: both walk from that widget up to
// its window and take the first answer.
#pragma once

#include <QPoint>
#include <QString>

#include <cstdint>
#include <optional>

class QAction;
class QObject;
class QWidget;

namespace CalcHelp {

// The pages every window may name.
inline const QString Contents = QStringLiteral("contents");
inline const QString Language = QStringLiteral("language");
inline const QString Functions = QStringLiteral("functions");
inline const QString Messages = QStringLiteral("messages");
inline const QString Memory = QStringLiteral("memory");
inline const QString Keypad = QStringLiteral("keypad");
inline const QString Commands = QStringLiteral("commands");
inline const QString Preferences = QStringLiteral("preferences");
inline const QString Files = QStringLiteral("files");
inline const QString CommandLine = QStringLiteral("tevra");

// The context numbers of the keypad's buttons: the button id plus this.
inline constexpr std::uint32_t KeypadContextBase = 0x80660000u;

// The topic of the report kind code on the messages page, and of a command
// on the page of menus and commands.
QString MessageTopic(int reportCode);
QString CommandTopic(int commandId);
// The paragraph of a known mistake (its topic in the mistake table) on the
// messages page: "messages#hint-sign-after-operator".
QString MistakeTopic(const QString& mistake);
// The topic of a keypad button (by its id) on the keypad page.
QString KeypadButtonTopic(int buttonId);
// The topic of a memory window's button (by its control id), of the memory
// window and of the statistics bar, on the memory page.
QString MemoryButtonTopic(int controlId);
inline const QString MemoryWindow = QStringLiteral("memory#window");
inline const QString StatisticsBar = QStringLiteral("memory#statistics");
// The topics of the print dialogs, on the page of files and printing.
inline const QString PrintTopic = QStringLiteral("files#print");
inline const QString PreviewTopic = QStringLiteral("files#preview");
inline const QString PageSetupTopic = QStringLiteral("files#page-setup");
inline const QString PrintingTopic = QStringLiteral("files#printing");
// The topic of a row of the statistics bar, 0 to 5 in the order of its labels.
QString StatisticTopic(int row);
// The topic of a spelling of a function on the functions page ("sin", "√").
QString FunctionTopic(QStringView name);

// A help request: a topic id, or a context number.
struct Target {
    QString Topic;
    std::optional<std::uint32_t> Context;

    bool isEmpty() const { return Topic.isEmpty() && !Context; }
};

// Names the topic of a widget or an action (a command: its menu items and
// toolbar buttons).
void setTopic(QObject* object, const QString& topic);
void setContext(QObject* object, std::uint32_t contextNumber);

// The topic widget names itself (at the point pos, widget coordinates, when
// given); a toolbar button names its command's. Empty when it names none.
Target ownTarget(QWidget* widget, std::optional<QPoint> pos = std::nullopt);
// The first topic named by widget and its parents, up to its window.
Target targetFor(QWidget* widget, std::optional<QPoint> pos = std::nullopt);
// The topic an action names; empty when it names none.
Target targetFor(const QAction* action);

}  // namespace CalcHelp

// A widget whose topic depends on the point asked about, or on its current
// item when no point is given.
class ICalcHelpTopicSource {
public:
    // Empty to let the widget's parents answer.
    virtual CalcHelp::Target helpTargetAt(std::optional<QPoint> pos) const = 0;

protected:
    ~ICalcHelpTopicSource() = default;
};
