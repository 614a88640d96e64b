// Window placement and bar layout survive a restart of the frame; damaged
// settings give the defaults.
#include "support/FrameSupport.h"

#include "desktop/frame/CCalcBar.h"
#include "desktop/frame/CCalcToolBar.h"
#include "desktop/frame/FramePlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

namespace {

QRect WorkArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

TEST_F(FrameTest, FirstStartIsCentredOnThePrimaryWorkArea)
{
    frame->showWithStoredPlacement();
    const QRect work = WorkArea();
    // The default size, or the larger one the bars need, centred.
    const QRect shown = frame->geometry();
    EXPECT_EQ(shown.width(), std::max(930, frame->minimumSizeHint().width()));
    EXPECT_EQ(shown.height(), std::max(550, frame->minimumSizeHint().height()));
    EXPECT_LE(std::abs((shown.left() - work.left()) - (work.right() - shown.right())), 1);
    EXPECT_LE(std::abs((shown.top() - work.top()) - (work.bottom() - shown.bottom())), 1);
}

TEST_F(FrameTest, PlacementIsWrittenAtCloseAndRestored)
{
    frame->showWithStoredPlacement();
    frame->setGeometry(20, 30, 1000, 700);
    restartFrame();
    {
        QSettings store = ProgramStore();
        EXPECT_EQ(store.value("GUI/Frame/Left").toInt(), 20);
        EXPECT_EQ(store.value("GUI/Frame/Top").toInt(), 30);
        EXPECT_EQ(store.value("GUI/Frame/Right").toInt(), 1020);
        EXPECT_EQ(store.value("GUI/Frame/Bottom").toInt(), 730);
        EXPECT_EQ(store.value("GUI/Frame/Maximized").toInt(), 0);
    }
    frame->showWithStoredPlacement();
    EXPECT_EQ(frame->geometry(), QRect(20, 30, 1000, 700));
}

TEST_F(FrameTest, AStoredRectangleFarOffTheScreenIsPulledBack)
{
    {
        QSettings store = ProgramStore();
        store.setValue("GUI/Frame/Left", 50000);
        store.setValue("GUI/Frame/Top", -40000);
        store.setValue("GUI/Frame/Right", 51000);
        store.setValue("GUI/Frame/Bottom", -39300);
    }
    frame->showWithStoredPlacement();
    const QRect work = WorkArea();
    EXPECT_EQ(frame->geometry(), QRect(work.right() + 1 - 1000, work.top(), 1000, 700));
}

TEST_F(FrameTest, AOnePixelRectangleAtTheRightComesBackWholeAndVisible)
{
    {
        QSettings store = ProgramStore();
        store.setValue("GUI/Frame/Left", 99999);
        store.setValue("GUI/Frame/Top", 100);
        store.setValue("GUI/Frame/Right", 100000);
        store.setValue("GUI/Frame/Bottom", 101);
    }
    frame->showWithStoredPlacement();
    const QRect work = WorkArea();
    const QRect placed = frame->geometry();
    EXPECT_GE(placed.width(), 300);
    EXPECT_GE(placed.height(), 150);
    EXPECT_TRUE(work.contains(placed)) << placed.x() << "," << placed.y() << " " << placed.width() << "x"
                                       << placed.height();
}

TEST_F(FrameTest, GarbageInTheSettingsGivesTheDefaults)
{
    {
        QSettings store = ProgramStore();
        for (const char* key : {"GUI/Frame/Left", "GUI/Frame/Top", "GUI/Frame/Right", "GUI/Frame/Bottom",
                                "GUI/Frame/Maximized", "GUI/BarState/DockingLayout", "GUI/BarState-Bar133/HorizontalY"})
            store.setValue(QLatin1String(key), QStringLiteral("garbage \x01\xff"));
    }
    restartFrame();
    frame->showWithStoredPlacement();
    EXPECT_FALSE(frame->isMaximized());
    EXPECT_TRUE(LogBar(*frame)->isVisible());
    EXPECT_EQ(frame->dockWidgetArea(LogBar(*frame)), Qt::BottomDockWidgetArea);
    EXPECT_GT(frame->geometry().width(), 0);
}

TEST_F(FrameTest, MaximizedStateIsRestored)
{
    frame->showWithStoredPlacement();
    frame->showMaximized();
    QCoreApplication::processEvents();
    restartFrame();
    EXPECT_EQ(ProgramStore().value("GUI/Frame/Maximized").toInt(), 1);
    frame->showWithStoredPlacement();
    EXPECT_TRUE(frame->isMaximized());
}

TEST_F(FrameTest, AFloatingLogBarReopensFloatingAtItsSize)
{
    frame->showWithStoredPlacement();
    CCalcBar* bar = LogBar(*frame);
    bar->setFloating(true);
    QCoreApplication::processEvents();
    bar->resize(400, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->slotSize(CCalcBar::Floating), QSize(400, 300));
    restartFrame();
    EXPECT_EQ(ProgramStore().value("GUI/BarState-Bar133/FloatingX").toInt(), 400);
    EXPECT_EQ(ProgramStore().value("GUI/BarState-Bar133/FloatingY").toInt(), 300);
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    EXPECT_TRUE(LogBar(*frame)->isFloating());
    EXPECT_EQ(LogBar(*frame)->size(), QSize(400, 300));
}

TEST_F(FrameTest, HiddenBarsAndDockingEdgesAreRestored)
{
    frame->showWithStoredPlacement();
    frame->addDockWidget(Qt::LeftDockWidgetArea, LogBar(*frame));
    frame->addToolBar(Qt::BottomToolBarArea, frame->toolBar());
    QCoreApplication::processEvents();
    restartFrame();
    frame->showWithStoredPlacement();
    EXPECT_EQ(frame->dockWidgetArea(LogBar(*frame)), Qt::LeftDockWidgetArea);
    EXPECT_EQ(frame->toolBarArea(frame->toolBar()), Qt::BottomToolBarArea);

    LogBar(*frame)->hide();
    restartFrame();
    frame->showWithStoredPlacement();
    EXPECT_FALSE(LogBar(*frame)->isVisible());
}

TEST_F(FrameTest, StoredBarSizesAreRaisedToTheMinimum)
{
    {
        QSettings store = ProgramStore();
        store.setValue("GUI/BarState-Bar133/HorizontalX", 1);
        store.setValue("GUI/BarState-Bar133/HorizontalY", -50);
        store.setValue("GUI/BarState-Bar133/FloatingX", 99999999);
    }
    restartFrame();
    const QSize horizontal = LogBar(*frame)->slotSize(CCalcBar::Horizontal);
    EXPECT_GE(horizontal.width(), 120);
    EXPECT_GE(horizontal.height(), 60);
    EXPECT_LE(LogBar(*frame)->slotSize(CCalcBar::Floating).width(), 16384);
}

}  // namespace
