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
#include <QTimer>
#include <QUrl>

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
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (screen == QGuiApplication::primaryScreen())
            primaryIndex = workAreas.size();
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
    const Tevra::ScreenRect fallback = Tevra::DefaultFrameRect(primary, {minimum.width(), minimum.height()});

    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(FrameGroup);
    const bool maximized = Tevra::ReadStoredInt32(settings, QStringLiteral("Maximized")).value_or(0) != 0;
    const Tevra::ScreenRect stored{
        Tevra::ReadStoredInt32(settings, QStringLiteral("Left")).value_or(fallback.Left),
        Tevra::ReadStoredInt32(settings, QStringLiteral("Top")).value_or(fallback.Top),
        Tevra::ReadStoredInt32(settings, QStringLiteral("Right")).value_or(fallback.Right),
        Tevra::ReadStoredInt32(settings, QStringLiteral("Bottom")).value_or(fallback.Bottom),
    };
    settings.endGroup();

    const Tevra::ScreenRect placed =
        Tevra::PlaceFrame(stored, workAreas, primaryIndex, {minimum.width(), minimum.height()});
    setGeometry(placed.Left, placed.Top, placed.Width(), placed.Height());
    if (maximized) {
        showMaximized();
    } else {
        show();
        // A window that had to be brought back may still grow once it is
        // shown (its bars take their final sizes): then it is moved on screen
        // once more, keeping the size it took.
        if (placed != stored && !workAreas.empty()) {
            QTimer::singleShot(0, this, [this, workAreas] {
                const Tevra::ScreenRect shown = FromQRect(geometry());
                const Tevra::ScreenRect inside = Tevra::ShiftInside(shown, Tevra::NearestWorkArea(shown, workAreas));
                if (inside != shown)
                    move(inside.Left, inside.Top);
            });
        }
    }
    // The bars take their stored sizes once the window is laid out.
    for (CCalcBar* sized : bars_)
        QTimer::singleShot(0, sized, &CCalcBar::applySlotSize);
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
