// The main frame's window placement, bar layout persistence, closing and
// dropped files.
#include "desktop/frame/CCalcMainFrame.h"

#include "desktop/services/CCalcTrigonometricUnits.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcRecovery.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcBar.h"
#include "desktop/frame/CCalcToolBar.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/frame/FramePlacement.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace {

const QString FrameGroup = QStringLiteral("GUI/Frame");
const QString BarStateGroup = QStringLiteral("GUI/BarState");
const QString DockingLayoutKey = QStringLiteral("DockingLayout");
constexpr int LayoutVersion = 1;

Tevra::ScreenRect FromQRect(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// The first local file among dropped data, or an empty string.
QString DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

}  // namespace

void CCalcMainFrame::restoreLayout()
{
    QSettings settings = Tevra::ProgramSettings();
    for (CCalcBar* sized : bars_)
        sized->loadSizes(settings);
    settings.beginGroup(BarStateGroup);
    const QByteArray state = settings.value(DockingLayoutKey).toByteArray();
    settings.endGroup();
    // A damaged layout is refused by the toolkit; the initial layout stays.
    // A restored layout places the floating bars itself.
    if (!state.isEmpty() && restoreState(state, LayoutVersion)) {
        for (CCalcBar* placed : bars_)
            placed->forgetFloatingPoint();
    }
}

void CCalcMainFrame::showWithStoredPlacement()
{
    std::vector<Tevra::ScreenRect> workAreas;
    std::size_t primaryIndex = 0;
    double scale = 1.0;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (screen == QGuiApplication::primaryScreen()) {
            primaryIndex = workAreas.size();
            scale = screen->logicalDotsPerInch() / 96.0;
        }
        workAreas.push_back(FromQRect(screen->availableGeometry()));
    }
    std::optional<Tevra::ScreenRect> primary;
    if (!workAreas.empty())
        primary = workAreas[primaryIndex];
    // The size below which the window will not go, once its bars are styled
    // and laid out.
    ensurePolished();
    if (layout() != nullptr)
        layout()->activate();
    const QSize minimum = minimumSizeHint().expandedTo(minimumSize());
    const Tevra::FrameMinimum least{minimum.width(), minimum.height()};

    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(FrameGroup);
    const bool maximized = Tevra::ReadStoredInt32(settings, QStringLiteral("Maximized")).value_or(0) != 0;
    const auto left = Tevra::ReadStoredInt32(settings, QStringLiteral("Left"));
    const auto top = Tevra::ReadStoredInt32(settings, QStringLiteral("Top"));
    const auto right = Tevra::ReadStoredInt32(settings, QStringLiteral("Right"));
    const auto bottom = Tevra::ReadStoredInt32(settings, QStringLiteral("Bottom"));
    settings.endGroup();
    // Without any stored side this is the first start: the editor gets its
    // share of the window.
    const bool firstStart = !left && !top && !right && !bottom;
    const Tevra::ScreenRect fallback = firstStart ? Tevra::FirstStartRect(primary, least, scale, measuredParts())
                                                  : Tevra::DefaultFrameRect(primary, least, scale);
    const Tevra::ScreenRect stored{left.value_or(fallback.Left), top.value_or(fallback.Top),
                                   right.value_or(fallback.Right), bottom.value_or(fallback.Bottom)};

    const Tevra::ScreenRect placed = Tevra::PlaceFrame(stored, workAreas, primaryIndex, least);
    setGeometry(placed.Left, placed.Top, placed.Width(), placed.Height());
    if (maximized) {
        showMaximized();
    } else {
        show();
        if (firstStart && primary) {
            if (layout() != nullptr)
                layout()->activate();
            makeRoomForEditor(*primary);
        }
        // A window that had to be brought back may still grow once it is
        // shown (its bars take their final sizes), and the window manager
        // adds its frame: then it is moved on screen once more, after this
        // turn of the event loop and when it is first activated (the frame
        // the window manager draws is known by then).
        if ((placed != stored || firstStart) && !workAreas.empty()) {
            pendingPlacement_ = PendingPlacement{workAreas, firstStart};
            QTimer::singleShot(0, this, [this] { finishPlacement(false); });
        }
    }
    // The bars take their stored sizes once the window is laid out.
    for (CCalcBar* sized : bars_)
        QTimer::singleShot(0, sized, &CCalcBar::applySlotSize);
}

void CCalcMainFrame::finishPlacement(bool activated)
{
    if (!pendingPlacement_ || isMaximized() || isMinimized())
        return;
    const PendingPlacement pending = *pendingPlacement_;
    if (activated)
        pendingPlacement_.reset();
    const Tevra::ScreenRect shown = FromQRect(frameGeometry());
    const Tevra::ScreenRect& work = Tevra::NearestWorkArea(shown, pending.WorkAreas);
    if (pending.FirstStart)
        makeRoomForEditor(work);
    const Tevra::ScreenRect framed = FromQRect(frameGeometry());
    const Tevra::ScreenRect inside = Tevra::ShiftInside(framed, work);
    if (inside != framed)
        move(pos() + QPoint(inside.Left - framed.Left, inside.Top - framed.Top));
}

bool CCalcMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && pendingPlacement_)
        finishPlacement(true);
    return QMainWindow::event(event);
}

int CCalcMainFrame::chromeHeight() const
{
    const auto shownHeight = [](const QWidget* part) {
        if (part == nullptr || part->isHidden())
            return 0;
        return part->isVisible() ? part->height() : part->sizeHint().height();
    };
    int chrome = shownHeight(menuWidget()) + shownHeight(statusBar());
    const Qt::ToolBarArea toolArea = toolBarArea(toolBar_);
    if (!toolBar_->isFloating() && (toolArea == Qt::TopToolBarArea || toolArea == Qt::BottomToolBarArea))
        chrome += shownHeight(toolBar_);
    return chrome;
}

Tevra::FrameParts CCalcMainFrame::measuredParts() const
{
    Tevra::FrameParts parts;
    parts.ChromeHeight = chromeHeight();
    const QWidget* editor = centralWidget();
    if (isVisible() && editor != nullptr) {
        // The laid-out window: what the editor does not take of the client
        // area.
        parts.Above = std::max(0, height() - parts.ChromeHeight - editor->height());
        int beside = width() - editor->width();
        const Qt::ToolBarArea toolArea = toolBarArea(toolBar_);
        if (!toolBar_->isHidden() && !toolBar_->isFloating() &&
            (toolArea == Qt::LeftToolBarArea || toolArea == Qt::RightToolBarArea))
            beside -= toolBar_->width();
        parts.Beside = std::max(0, beside);
        return parts;
    }
    const int separator = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    for (const CCalcBar* docked : bars_) {
        if (docked->isHidden() || docked->isFloating())
            continue;
        const QSize wanted = docked->sizeHint();
        const Qt::DockWidgetArea area = dockWidgetArea(const_cast<CCalcBar*>(docked));
        if (area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea)
            parts.Above += wanted.height() + separator;
        else if (area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea)
            parts.Beside += wanted.width() + separator;
    }
    return parts;
}

double CCalcMainFrame::editorShare() const
{
    return Tevra::EditorShareOf({width(), height()}, measuredParts());
}

void CCalcMainFrame::makeRoomForEditor(const Tevra::ScreenRect& workArea)
{
    // The window with the frame the window manager drew around it inside
    // the work area, as far as its minimum size allows.
    const QRect framed = frameGeometry();
    const int extraWidth = framed.width() - width();
    const int extraHeight = framed.height() - height();
    const QSize least = minimumSizeHint().expandedTo(minimumSize());
    const QSize fitting(std::max(least.width(), std::min(width(), workArea.Width() - extraWidth)),
                        std::max(least.height(), std::min(height(), workArea.Height() - extraHeight)));
    if (fitting != size()) {
        resize(fitting);
        if (layout() != nullptr)
            layout()->activate();
    }
    // The bars above and below the editor start at the sizes they ask for
    // (the window's layout may have given them less while it was being
    // built at another size), then give up what the editor lacks of its
    // share: the fixed ones first (their panels shrink, then scroll), then
    // the others, none below its least size.
    QList<QDockWidget*> along;
    QList<int> asked;
    for (CCalcBar* docked : bars_) {
        const Qt::DockWidgetArea area = dockWidgetArea(docked);
        if (!docked->isHidden() && !docked->isFloating() &&
            (area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea)) {
            along.append(docked);
            asked.append(docked->sizeHint().height());
        }
    }
    if (!along.isEmpty()) {
        resizeDocks(along, asked, Qt::Vertical);
        if (layout() != nullptr)
            layout()->activate();
    }
    const Tevra::FrameParts parts = measuredParts();
    int excess = parts.Above - Tevra::RoomForBarsAbove({width(), height()}, parts);
    if (excess <= 0)
        return;
    std::vector<CCalcBar*> order;
    for (const bool fixedFirst : {true, false}) {
        for (CCalcBar* docked : bars_) {
            const Qt::DockWidgetArea area = dockWidgetArea(docked);
            if (docked->isHidden() || docked->isFloating() ||
                (area != Qt::TopDockWidgetArea && area != Qt::BottomDockWidgetArea))
                continue;
            if ((docked->sizing() == CCalcBar::Sizing::Fixed) == fixedFirst)
                order.push_back(docked);
        }
    }
    for (CCalcBar* docked : order) {
        if (excess <= 0)
            break;
        const int least = docked->minimumSizeHint().expandedTo(docked->minimumSize()).height();
        const int smaller = std::max(least, docked->height() - excess);
        if (smaller >= docked->height())
            continue;
        excess -= docked->height() - smaller;
        resizeDocks({docked}, {smaller}, Qt::Vertical);
    }
    if (layout() != nullptr)
        layout()->activate();
}

void CCalcMainFrame::growDockedBar(CCalcBar* grown, int wanted)
{
    const Qt::DockWidgetArea area = dockWidgetArea(grown);
    if (grown->isHidden() || grown->isFloating() ||
        (area != Qt::TopDockWidgetArea && area != Qt::BottomDockWidgetArea) || wanted <= grown->height())
        return;
    const Tevra::FrameParts parts = measuredParts();
    const int room = Tevra::RoomForBarsAbove({width(), height()}, parts) - parts.Above;
    const int taller = grown->height() + std::min(room, wanted - grown->height());
    if (taller > grown->height())
        resizeDocks({grown}, {taller}, Qt::Vertical);
}

void CCalcMainFrame::saveLayout() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(FrameGroup);
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    settings.setValue(QStringLiteral("Maximized"), isMaximized() ? 1 : 0);
    if (normal.isValid()) {
        const Tevra::ScreenRect rect = FromQRect(normal);
        settings.setValue(QStringLiteral("Left"), rect.Left);
        settings.setValue(QStringLiteral("Top"), rect.Top);
        settings.setValue(QStringLiteral("Right"), rect.Right);
        settings.setValue(QStringLiteral("Bottom"), rect.Bottom);
    }
    settings.endGroup();
    for (const CCalcBar* sized : bars_)
        sized->saveSizes(settings);
    settings.beginGroup(BarStateGroup);
    settings.setValue(DockingLayoutKey, saveState(LayoutVersion));
    settings.endGroup();
}

void CCalcMainFrame::closeEvent(QCloseEvent* event)
{
    if (!document_->endCalculationBeforeClosing() || !document_->saveModified()) {
        event->ignore();
        return;
    }
    saveLayout();
    unitsWindow_->hide();
    // Nothing unsaved is left to recover once the user has closed.
    document_->recovery()->discard();
    event->accept();
}

void CCalcMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CCalcMainFrame::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened after the drop has finished, so that the source application is
    // not kept waiting while a question or a message is shown.
    QTimer::singleShot(0, this, [this, path] { document_->openDocument(path); });
}

bool CCalcMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == unitsWindow_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        action(CalcCommand::TrigonometricUnits)->setChecked(event->type() == QEvent::Show);
        return false;
    }
    if (view_ && watched == view_->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!DroppedFile(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!DroppedFile(drop->mimeData()).isEmpty()) {
                dropEvent(drop);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
