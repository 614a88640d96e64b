#include "desktop/ui/editor/CCalcResultsMarginAccessible.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

#include "desktop/ui/editor/CCalcResultsMargin.h"

namespace {

class CResultsListInterface;

// One shown value. Its interface lives in Qt's registry for as long as the
// list shows the same number of values.
class CResultItemInterface final : public QAccessibleInterface {
public:
    CResultItemInterface(CCalcResultsMargin* margin, int index) : margin_(margin), index_(index) {}

    bool isValid() const override { return margin_ && index_ < static_cast<int>(margin_->items().size()); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(margin_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        if (!isValid() || kind != QAccessible::Name)
            return {};
        const CCalcResultsMargin::Item& item = margin_->items()[static_cast<std::size_t>(index_)];
        return QStringLiteral("Line %1: %2").arg(item.Line).arg(item.Text);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const CCalcResultsMargin::Item& item = margin_->items()[static_cast<std::size_t>(index_)];
        const QPoint origin = margin_->mapToGlobal(QPoint(0, item.Top));
        return {origin, QSize(margin_->width(), margin_->fontMetrics().height())};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !isValid();
        return state;
    }

private:
    QPointer<CCalcResultsMargin> margin_;
    int index_;
};

class CResultsListInterface final : public QAccessibleWidget {
public:
    explicit CResultsListInterface(CCalcResultsMargin* margin) : QAccessibleWidget(margin, QAccessible::List)
    {
        QObject::connect(margin, &CCalcResultsMargin::itemsChanged, margin, [this] { itemsChanged(); });
    }
    ~CResultsListInterface() override { dropItems(); }
    CResultsListInterface(const CResultsListInterface&) = delete;
    CResultsListInterface& operator=(const CResultsListInterface&) = delete;

    int childCount() const override { return static_cast<int>(margin()->items().size()); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (static_cast<int>(ids_.size()) <= index)
            ids_.push_back(QAccessible::registerAccessibleInterface(
                new CResultItemInterface(margin(), static_cast<int>(ids_.size()))));
        return QAccessible::accessibleInterface(ids_[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (std::size_t i = 0; i < ids_.size(); ++i) {
            if (QAccessible::accessibleInterface(ids_[i]) == child)
                return static_cast<int>(i);
        }
        return -1;
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? QStringLiteral("Results") : QAccessibleWidget::text(kind);
    }

private:
    CCalcResultsMargin* margin() const { return static_cast<CCalcResultsMargin*>(widget()); }
    void itemsChanged()
    {
        // Items read their text by position: only those beyond the new count go.
        while (static_cast<int>(ids_.size()) > childCount()) {
            QAccessible::deleteAccessibleInterface(ids_.back());
            ids_.pop_back();
        }
        QAccessibleEvent event(margin(), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    void dropItems()
    {
        for (const QAccessible::Id id : ids_)
            QAccessible::deleteAccessibleInterface(id);
        ids_.clear();
    }

    mutable std::vector<QAccessible::Id> ids_;
};

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CCalcResultsMargin")) {
        if (auto* margin = qobject_cast<CCalcResultsMargin*>(object))
            return new CResultsListInterface(margin);
    }
    return nullptr;
}

}  // namespace

namespace CCalcResultsMarginAccessible {

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

}  // namespace CCalcResultsMarginAccessible
