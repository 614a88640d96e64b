#include "desktop/frame/CCalcBar.h"

#include "desktop/services/PreferencesStore.h"

#include <QEvent>
#include <QMainWindow>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The stored width and height of each size slot.
constexpr auto SlotKeys = std::to_array<std::array<const char*, 2>>({
    {"HorizontalX", "HorizontalY"},
    {"VerticalX", "VerticalY"},
    {"FloatingX", "FloatingY"},
});
static_assert(SlotKeys.size() == CCalcBar::SlotCount, "one pair of keys per size slot");

// Largest size a stored value may ask for: keeps a garbage value from making
// a bar larger than any screen.
constexpr int LargestBarExtent = 16384;

}  // namespace

CCalcBar::CCalcBar(int id, const QString& title, Sizing sizing, QMainWindow* frame)
    : QDockWidget(title, frame), id_(id), sizing_(sizing), frame_(frame)
{
    setObjectName(QStringLiteral("Bar%1").arg(id));
    setAllowedAreas(Qt::AllDockWidgetAreas);
    connect(this, &QDockWidget::dockLocationChanged, this, &CCalcBar::scheduleApply);
    connect(this, &QDockWidget::topLevelChanged, this, &CCalcBar::scheduleApply);
}

void CCalcBar::setPanel(QWidget* panel)
{
    panel_ = panel;
    // A panel may ask for more than its size hint by a minimum (or fixed)
    // size; one without a layout has no size hint at all.
    const QSize initial = panel->sizeHint().expandedTo(panel->minimumSize()).expandedTo(QSize(1, 1));
    minimum_ = initial;
    for (QSize& size : sizes_)
        size = initial;
    if (sizing_ == Sizing::Fixed) {
        panel->setFixedSize(initial);
        scroller_ = new CCalcBarScroller(panel, this);
        setWidget(scroller_);
        if (fit_)
            scroller_->setFit(std::move(fit_));
        // A fixed panel may change its size later (the keypad after a font
        // change); a floating bar follows it at once.
        panel->installEventFilter(this);
    } else {
        setWidget(panel);
        setMinimumSize(initial);
    }
}

void CCalcBar::setPanelFit(CCalcBarScroller::Fit fit)
{
    if (scroller_ != nullptr)
        scroller_->setFit(std::move(fit));
    else
        fit_ = std::move(fit);
}

void CCalcBar::setSlotSize(SizeSlot slot, QSize size)
{
    sizes_[slot] = size.expandedTo(minimum_).boundedTo(QSize(LargestBarExtent, LargestBarExtent));
}

QString CCalcBar::settingsGroup() const
{
    return QStringLiteral("GUI/BarState-Bar%1").arg(id_);
}

void CCalcBar::loadSizes(QSettings& settings)
{
    if (sizing_ == Sizing::Fixed)
        return;
    settings.beginGroup(settingsGroup());
    for (int slot = 0; slot < SlotCount; ++slot) {
        const auto width = Tevra::ReadStoredInt32(settings, QLatin1String(SlotKeys[static_cast<std::size_t>(slot)][0]));
        const auto height =
            Tevra::ReadStoredInt32(settings, QLatin1String(SlotKeys[static_cast<std::size_t>(slot)][1]));
        const QSize current = sizes_[slot];
        setSlotSize(static_cast<SizeSlot>(slot),
                    QSize(width.value_or(current.width()), height.value_or(current.height())));
    }
    settings.endGroup();
}

void CCalcBar::saveSizes(QSettings& settings) const
{
    if (sizing_ == Sizing::Fixed)
        return;
    settings.beginGroup(settingsGroup());
    for (int slot = 0; slot < SlotCount; ++slot) {
        settings.setValue(QLatin1String(SlotKeys[static_cast<std::size_t>(slot)][0]), sizes_[slot].width());
        settings.setValue(QLatin1String(SlotKeys[static_cast<std::size_t>(slot)][1]), sizes_[slot].height());
    }
    settings.endGroup();
}

CCalcBar::SizeSlot CCalcBar::currentSlot() const
{
    if (isFloating())
        return Floating;
    const Qt::DockWidgetArea area = frame_->dockWidgetArea(const_cast<CCalcBar*>(this));
    return area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea ? Vertical : Horizontal;
}

void CCalcBar::applySlotSize()
{
    moving_ = false;
    if (isHidden())
        return;
    if (sizing_ == Sizing::Fixed) {
        // Floating, a fixed bar is as large as its panel, whatever it was
        // docked.
        if (isFloating())
            adjustSize();
        return;
    }
    const SizeSlot slot = currentSlot();
    const QSize size = sizes_[slot];
    if (slot == Floating)
        resize(size);
    else if (slot == Vertical)
        frame_->resizeDocks({this}, {size.width()}, Qt::Horizontal);
    else
        frame_->resizeDocks({this}, {size.height()}, Qt::Vertical);
}

void CCalcBar::scheduleApply()
{
    // The toolkit lays the bar out in its new place after this signal; the
    // stored size is applied once that is done.
    moving_ = true;
    QTimer::singleShot(0, this, &CCalcBar::applySlotSize);
}

void CCalcBar::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    // Placed when it first shows: the frame has its own place by then.
    if (floatingPoint_ && isFloating())
        move(frame_->mapToGlobal(*floatingPoint_));
    floatingPoint_.reset();
}

bool CCalcBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == panel_ && event->type() == QEvent::Resize) {
        // The scroll area asks for the panel's new whole size.
        if (scroller_ != nullptr)
            scroller_->updateGeometry();
        if (isFloating())
            QTimer::singleShot(0, this, [this] {
                if (isFloating())
                    adjustSize();
            });
    }
    return QDockWidget::eventFilter(watched, event);
}

void CCalcBar::resizeEvent(QResizeEvent* event)
{
    QDockWidget::resizeEvent(event);
    if (sizing_ == Sizing::Resizable && !moving_ && isVisible())
        sizes_[currentSlot()] = size();
}
