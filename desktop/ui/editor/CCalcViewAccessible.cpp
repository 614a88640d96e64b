#include "desktop/ui/editor/CCalcViewAccessible.h"

#include <QAccessibleWidget>

#include <algorithm>

#include "desktop/ui/editor/CCalcView.h"

namespace {

class CCalcViewInterface final : public QAccessibleWidget,
                                 public QAccessibleTextInterface,
                                 public QAccessibleEditableTextInterface {
public:
    explicit CCalcViewInterface(CCalcView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? view()->text() : QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    // The text interface.
    void selection(int index, int* start, int* end) const override
    {
        const bool valid = index == 0 && view()->hasSelection();
        *start = valid ? view()->selectionStart() : 0;
        *end = valid ? view()->selectionEnd() : 0;
    }
    int selectionCount() const override { return view()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { view()->setSelection(start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            view()->setSelection(view()->position(), view()->position());
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            view()->setSelection(start, end);
    }
    int cursorPosition() const override { return view()->position(); }
    void setCursorPosition(int position) override { view()->setSelection(position, position); }
    QString text(int start, int end) const override
    {
        return TextIn(view()->text(), CTextRange{start, end}.clampedTo(characterCount()));
    }
    int characterCount() const override { return view()->document()->size(); }
    QRect characterRect(int offset) const override
    {
        const QRect rect = view()->characterRect(offset);
        return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        return view()->viewport()->rect().contains(local) ? view()->characterAt(local) : -1;
    }
    void scrollToSubstring(int start, int) override { view()->scrollToPosition(start); }
    QString attributes(int, int* start, int* end) const override
    {
        // One font and colour for the whole text.
        *start = 0;
        *end = characterCount();
        return {};
    }

    // The editable text interface: each call is one undoable edit.
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override
    {
        view()->setSelection(start, end);
        view()->replaceSelection(text);
    }

private:
    CCalcView* view() const { return static_cast<CCalcView*>(widget()); }
};

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CCalcView")) {
        if (auto* view = qobject_cast<CCalcView*>(object))
            return new CCalcViewInterface(view);
    }
    return nullptr;
}

}  // namespace

namespace CCalcViewAccessible {

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

}  // namespace CCalcViewAccessible
