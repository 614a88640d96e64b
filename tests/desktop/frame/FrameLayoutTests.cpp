// Window placement and bar layout survive a restart of the frame; damaged
// settings give the defaults.
#include "support/FrameSupport.h"

#include "desktop/frame/CCalcBar.h"
#include "desktop/frame/CCalcToolBar.h"
#include "desktop/frame/FramePlacement.h"
#include "desktop/ui/keypad/CCalcKeyPad.h"
#include "desktop/ui/log/CCalcLog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QLayout>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

namespace {

QRect WorkArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QString Describe(const QRect& rect)
{
    return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

TEST_F(FrameTest, FirstStartIsCentredOnThePrimaryWorkArea)
{
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    const QRect work = WorkArea();
    const QRect shown = frame->frameGeometry();
    EXPECT_TRUE(work.contains(shown)) << Describe(shown).toStdString() << " in " << Describe(work).toStdString();
    // At least the default size where the work area has room for it.
    EXPECT_GE(frame->width(), std::min(930, work.width()));
    EXPECT_GE(frame->height(), std::min(550, work.height() - frame->style()->pixelMetric(QStyle::PM_TitleBarHeight)));
    EXPECT_LE(std::abs((shown.left() - work.left()) - (work.right() - shown.right())), 1);
}

// The real frame on the screen the tests have, with the bars shown in three
// ways: inside the work area, the editor with its share where the bars can
// give way far enough, and the keypad whole where there is room for it.
TEST_F(FrameTest, FirstStartGivesTheEditorItsShareInsideTheWorkArea)
{
    struct Row {
        const char* name;
        bool keypad;
        bool memory;
    };
    const Row rows[] = {
        {"all bars", true, true},
        {"keypad hidden", false, true},
        {"keypad and memory hidden", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        restartFrame();
        ProgramStore().remove(QStringLiteral("GUI"));
        restartFrame();
        ProgramStore().remove(QStringLiteral("GUI/Frame"));
        frame->bar(CalcBars::Keypad)->setVisible(row.keypad);
        frame->bar(CalcBars::Memory)->setVisible(row.memory);
        frame->showWithStoredPlacement();
        QCoreApplication::processEvents();
        const QRect work = WorkArea();
        const QRect shown = frame->frameGeometry();
        EXPECT_TRUE(work.contains(shown)) << Describe(shown).toStdString() << " in " << Describe(work).toStdString();
        for (CCalcBar* bar : {frame->bar(CalcBars::Keypad), frame->bar(CalcBars::Log), frame->bar(CalcBars::Memory)}) {
            if (bar->isVisible()) {
                EXPECT_TRUE(work.contains(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())))
                    << bar->windowTitle().toStdString();
            }
        }
        const Tevra::FrameParts parts = frame->measuredParts();
        const int room = Tevra::RoomForBarsAbove({frame->width(), frame->height()}, parts);
        // The bars above and below gave way down to their least sizes.
        int least = 0;
        for (CCalcBar* bar : {frame->bar(CalcBars::Keypad), frame->bar(CalcBars::Log)}) {
            if (bar->isVisible())
                least += bar->minimumSizeHint().expandedTo(bar->minimumSize()).height();
        }
        if (room >= least + 20) {
            EXPECT_GE(frame->editorShare(), Tevra::EditorShare - 0.01)
                << Describe(frame->geometry()).toStdString() << " above " << parts.Above << " beside " << parts.Beside;
        }
        // The log starts short: its first rows, not the height of a list.
        const CCalcLog* log = LogPanel(*frame);
        EXPECT_LE(log->height(), log->sizeHint().height() + 2);
        EXPECT_LE(log->sizeHint().height(), log->heightForRows(CCalcLog::InitialRows + 1));
        frame->close();
    }
}

// The memory window asks for the width of its columns, but on a small
// screen no more than three tenths of it: it takes its first width as its
// least, and the editor beside it keeps the room. (The tests' screen is
// small enough for the columns to be cut.)
TEST_F(FrameTest, OnASmallScreenTheMemoryWindowStartsNarrow)
{
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    const QRect work = WorkArea();
    CCalcBar* memory = frame->bar(CalcBars::Memory);
    ASSERT_TRUE(memory->isVisible());
    const int narrowest = 211;  // the list's narrowest and the button column
    EXPECT_LE(memory->panel()->width(), std::max(work.width() * 3 / 10 + 1, narrowest))
        << "screen " << Describe(work).toStdString();
    EXPECT_GT(frame->centralWidget()->width(), memory->width());
}

TEST_F(FrameTest, WithTheKeypadHiddenTheWindowShrinksFar)
{
    frame->showWithStoredPlacement();
    frame->bar(CalcBars::Keypad)->hide();
    QCoreApplication::processEvents();
    if (frame->layout() != nullptr)
        frame->layout()->activate();
    const QSize least = frame->minimumSizeHint().expandedTo(frame->minimumSize());
    EXPECT_LE(least.width(), 640);
    EXPECT_LE(least.height(), 420);
    frame->resize(640, 420);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->size(), QSize(640, 420));
}

TEST_F(FrameTest, TheKeypadShrinksThenScrollsWhereRoomIsShort)
{
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    CCalcBar* bar = frame->bar(CalcBars::Keypad);
    auto* keypad = qobject_cast<CCalcKeyPad*>(bar->panel());
    ASSERT_NE(keypad, nullptr);
    const QSize whole = keypad->wholeSize();
    struct Row {
        const char* name;
        int height;  // of the keypad's room, in hundredths of its whole height
        bool shrunk;
        bool scrolls;
    };
    const Row rows[] = {
        {"room enough: whole", 130, false, false},
        {"a little short: smaller keys", 95, true, false},
        {"far too short: smallest keys, scrolled", 30, true, true},
        {"room again: whole again", 130, false, false},
    };
    auto* scroller = qobject_cast<QAbstractScrollArea*>(bar->widget());
    ASSERT_NE(scroller, nullptr);
    // The bar's caption and edges around the scroll area.
    const int around = bar->height() - scroller->height();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        frame->resizeDocks({bar}, {around + whole.height() * row.height / 100}, Qt::Vertical);
        QCoreApplication::processEvents();
        const bool shrunk = keypad->fitScale() < 1.0;
        if (row.scrolls || shrunk != row.shrunk) {
            // The bar may not get all the room asked for: it is checked by
            // what it got.
            EXPECT_LE(scroller->viewport()->height(), keypad->height());
        }
        EXPECT_EQ(shrunk, row.shrunk) << "bar " << bar->height() << " of " << whole.height() << ", room "
                                      << scroller->viewport()->height() << ", keypad " << keypad->height();
        EXPECT_GE(keypad->fitScale(), Keypad::LeastScale - 1e-9);
        // The scroll bar follows once the area has seen the keypad's size.
        EXPECT_TRUE(QTest::qWaitFor([&] { return scroller->verticalScrollBar()->isVisible() == row.scrolls; }, 30000));
        EXPECT_EQ(keypad->size(), keypad->currentLayout().Panel);
    }
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
