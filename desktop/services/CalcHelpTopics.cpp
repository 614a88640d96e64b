#include "desktop/services/CalcHelpTopics.h"

#include <QAction>
#include <QToolButton>
#include <QVariant>
#include <QWidget>

namespace CalcHelp {

namespace {

const char* const TopicProperty = "calcHelpTopic";
const char* const ContextProperty = "calcHelpContext";

// The topic or context number object names itself.
Target NamedTarget(const QObject* object)
{
    if (const QVariant context = object->property(ContextProperty); context.isValid())
        return {QString(), context.value<std::uint32_t>()};
    if (const QVariant topic = object->property(TopicProperty); topic.isValid())
        return {topic.toString(), std::nullopt};
    return {};
}

}  // namespace

QString CommandTopic(int commandId)
{
    return Commands + QStringLiteral("#command-%1").arg(commandId);
}

QString KeypadButtonTopic(int buttonId)
{
    return Keypad + QStringLiteral("#button-%1").arg(buttonId);
}

QString MemoryButtonTopic(int controlId)
{
    return Memory + QStringLiteral("#button-%1").arg(controlId);
}

QString StatisticTopic(int row)
{
    return Memory + QStringLiteral("#statistic-%1").arg(row);
}

QString FunctionTopic(QStringView name)
{
    // Anchors keep to plain letters: a symbol is written by its code. A
    // statement is read in lower case, so "J" is the function j.
    QString anchor = Functions + QStringLiteral("#function-");
    for (const QChar c : name)
        anchor += c.unicode() < 128 ? QString(c.toLower()) : QStringLiteral("u%1").arg(c.unicode());
    return anchor;
}

QString MessageTopic(int reportCode)
{
    return Messages + QStringLiteral("#report-%1").arg(reportCode);
}

QString MistakeTopic(const QString& mistake)
{
    return Messages + QStringLiteral("#hint-") + mistake;
}

void setTopic(QObject* object, const QString& topic)
{
    object->setProperty(TopicProperty, topic);
}

void setContext(QObject* object, std::uint32_t contextNumber)
{
    object->setProperty(ContextProperty, QVariant::fromValue(contextNumber));
}

Target targetFor(const QAction* action)
{
    return action != nullptr ? NamedTarget(action) : Target{};
}

Target ownTarget(QWidget* widget, std::optional<QPoint> pos)
{
    if (const auto* source = dynamic_cast<const ICalcHelpTopicSource*>(widget)) {
        if (Target target = source->helpTargetAt(pos); !target.isEmpty())
            return target;
    }
    if (Target named = NamedTarget(widget); !named.isEmpty())
        return named;
    if (const auto* button = qobject_cast<const QToolButton*>(widget))
        return targetFor(button->defaultAction());
    return {};
}

Target targetFor(QWidget* widget, std::optional<QPoint> pos)
{
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (Target target = ownTarget(w, pos); !target.isEmpty())
            return target;
        if (w->isWindow())
            break;
        // The point as the parent sees it.
        if (pos)
            pos = w->mapToParent(*pos);
    }
    return {};
}

}  // namespace CalcHelp
