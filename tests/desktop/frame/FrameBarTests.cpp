// The bar table drives the bars: creation, placement, toggles with their
// check marks, the three stored sizes of resizable bars and the restored
// layout, for the program's Log bar and for test panels in rows of their own.
#include "support/FrameSupport.h"

#include "desktop/services/CalcCommands.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <vector>

namespace {

using CalcBars::Info;

// A resizable test panel: a list, as a memory window would hold.
QWidget* CreateListPanel(const CalcBars::PanelContext& context)
{
    auto* panel = new QListWidget(&context.Bar);
    panel->setObjectName(QStringLiteral("ListPanel"));
    return panel;
}

// A fixed test panel: one button of a known size, as a keypad would hold.
QWidget* CreateButtonPanel(const CalcBars::PanelContext& context)
{
    auto* panel = new QPushButton(QStringLiteral("="), &context.Bar);
    panel->setObjectName(QStringLiteral("ButtonPanel"));
    panel->setFixedSize(90, 40);
    return panel;
}

// The program's rows followed by two test rows that stand in for the
// program's statistics and keypad rows.
const std::vector<Info>& TestBars()
{
    static const std::vector<Info> bars = ProgramBarsWith({
        {.Bar = CalcBars::Statistics,
         .Title = "Listing",
         .Sizing = CCalcBar::Sizing::Resizable,
         .Toggle = CalcCommand::ToggleStatistics,
         .InitialPlacement = CalcBars::FloatingAt(QPoint(27, 27)),
         .InitiallyVisible = false,
         .CreatePanel = CreateListPanel},
        {.Bar = CalcBars::Keypad,
         .Title = "Buttons",
         .Sizing = CCalcBar::Sizing::Fixed,
         .Toggle = CalcCommand::ToggleKeypad,
         .InitialPlacement = CalcBars::DockedOn(Qt::RightDockWidgetArea),
         .InitiallyVisible = true,
         .CreatePanel = CreateButtonPanel},
    });
    return bars;
}

QString Title(const Info& row)
{
    return QString::fromUtf8(row.Title.data(), static_cast<qsizetype>(row.Title.size()));
}

QString SizeKey(const Info& row, const char* key)
{
    return QStringLiteral("GUI/BarState-Bar%1/%2").arg(row.Bar).arg(QLatin1String(key));
}

class BarTable : public FrameTest {
protected:
    std::unique_ptr<CCalcMainFrame> makeFrame() override { return std::make_unique<CCalcMainFrame>(TestBars()); }

    void showFrame()
    {
        frame->showWithStoredPlacement();
        QCoreApplication::processEvents();
    }
};

TEST_F(BarTable, EveryRowBecomesABarWithItsTitlePanelPlaceAndVisibility)
{
    showFrame();
    for (const Info& row : TestBars()) {
        SCOPED_TRACE(Title(row).toStdString());
        CCalcBar* bar = frame->bar(row.Bar);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->windowTitle(), Title(row));
        EXPECT_EQ(bar->objectName(), QStringLiteral("Bar%1").arg(row.Bar));
        ASSERT_NE(bar->panel(), nullptr);
        // A fixed panel stands in the scroll area that fills its bar.
        EXPECT_TRUE(bar->widget() == bar->panel() || bar->widget()->isAncestorOf(bar->panel()));
        EXPECT_EQ(bar->widget()->parent(), bar);
        EXPECT_EQ(bar->isVisible(), row.InitiallyVisible);
        EXPECT_EQ(bar->isFloating(), row.InitialPlacement.Floating);
        if (!row.InitialPlacement.Floating) {
            EXPECT_EQ(frame->dockWidgetArea(bar), row.InitialPlacement.Area);
        }
    }
    EXPECT_EQ(frame->bar(999), nullptr) << "no row, no bar";
}

TEST_F(BarTable, AFloatingRowAppearsAtItsPointOfTheClientArea)
{
    showFrame();
    CCalcBar* bar = frame->bar(CalcBars::Statistics);
    frame->action(CalcCommand::ToggleStatistics)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->pos(), frame->mapToGlobal(QPoint(27, 27)));
}

TEST_F(BarTable, EveryToggleShowsAndHidesItsBarWithTheCheckMark)
{
    showFrame();
    for (const Info& row : TestBars()) {
        SCOPED_TRACE(Title(row).toStdString());
        QAction* toggle = frame->action(row.Toggle);
        CCalcBar* bar = frame->bar(row.Bar);
        ASSERT_TRUE(toggle->isEnabled());
        frame->refreshCommandStates();
        EXPECT_EQ(toggle->isChecked(), row.InitiallyVisible);
        for (int press = 0; press < 2; ++press) {
            const bool wasVisible = bar->isVisible();
            toggle->trigger();
            EXPECT_EQ(bar->isVisible(), !wasVisible) << "press " << press;
            EXPECT_EQ(toggle->isChecked(), !wasVisible) << "press " << press;
        }
        // The bar's own close button clears the check mark too.
        bar->show();
        bar->close();
        EXPECT_FALSE(toggle->isChecked());
    }
}

TEST_F(BarTable, ResizableRowsStoreTheirThreeSizesAndFixedRowsNone)
{
    showFrame();
    const QSize sizes[CCalcBar::SlotCount] = {QSize(500, 210), QSize(520, 400), QSize(450, 330)};
    for (const Info& row : TestBars()) {
        for (int slot = 0; slot < CCalcBar::SlotCount; ++slot)
            frame->bar(row.Bar)->setSlotSize(static_cast<CCalcBar::SizeSlot>(slot), sizes[slot]);
    }
    restartFrame();
    const QSettings store = ProgramStore();
    for (const Info& row : TestBars()) {
        SCOPED_TRACE(Title(row).toStdString());
        const bool resizable = row.Sizing == CCalcBar::Sizing::Resizable;
        EXPECT_EQ(store.contains(SizeKey(row, "HorizontalX")), resizable);
        EXPECT_EQ(store.contains(SizeKey(row, "FloatingY")), resizable);
        if (!resizable)
            continue;
        EXPECT_EQ(store.value(SizeKey(row, "VerticalX")).toInt(), 520);
        EXPECT_EQ(store.value(SizeKey(row, "VerticalY")).toInt(), 400);
        for (int slot = 0; slot < CCalcBar::SlotCount; ++slot)
            EXPECT_EQ(frame->bar(row.Bar)->slotSize(static_cast<CCalcBar::SizeSlot>(slot)), sizes[slot]) << slot;
    }
}

TEST_F(BarTable, VisibilityAndPlaceOfEveryRowAreRestored)
{
    showFrame();
    frame->addDockWidget(Qt::LeftDockWidgetArea, frame->bar(CalcBars::Keypad));
    frame->action(CalcCommand::ToggleLog)->trigger();
    frame->action(CalcCommand::ToggleStatistics)->trigger();
    QCoreApplication::processEvents();
    restartFrame();
    showFrame();
    EXPECT_EQ(frame->dockWidgetArea(frame->bar(CalcBars::Keypad)), Qt::LeftDockWidgetArea);
    EXPECT_FALSE(frame->bar(CalcBars::Log)->isVisible());
    EXPECT_TRUE(frame->bar(CalcBars::Statistics)->isVisible());
    EXPECT_TRUE(frame->bar(CalcBars::Statistics)->isFloating());
}

TEST_F(BarTable, AFixedRowKeepsItsPanelAtItsSize)
{
    showFrame();
    CCalcBar* bar = frame->bar(CalcBars::Keypad);
    frame->resizeDocks({bar}, {400}, Qt::Horizontal);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->panel()->size(), QSize(90, 40));
}

// The Log bar cannot be made smaller than its panel was at first, by
// dragging or by a stored size.
TEST_F(FrameTest, TheLogBarsMinimumIsItsPanelsInitialSize)
{
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    CCalcBar* bar = LogBar(*frame);
    const QSize initial = bar->panel()->sizeHint();
    // The bar adds its caption to the panel's least size.
    EXPECT_EQ(bar->minimumSize().expandedTo(initial), bar->minimumSize());
    EXPECT_EQ(bar->slotSize(CCalcBar::Horizontal), initial);
    EXPECT_GE(bar->height(), initial.height());

    frame->resizeDocks({bar}, {10}, Qt::Vertical);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->height(), bar->minimumSize().height()) << "dragged down to 10 pixels";

    struct Row {
        const char* name;
        int height;
    };
    for (const Row row : {Row{"negative", -100}, Row{"tiny", 5}, Row{"zero", 0}}) {
        {
            QSettings store = ProgramStore();
            store.clear();
            store.setValue("GUI/BarState-Bar133/HorizontalY", row.height);
        }
        frame->hide();
        frame.reset();
        frame = makeFrame();
        frame->setPrompts(&prompts);
        frame->showWithStoredPlacement();
        QCoreApplication::processEvents();
        // The stored size is applied once the frame is laid out, and takes
        // effect at the layout after that.
        QCoreApplication::processEvents();
        EXPECT_GE(LogBar(*frame)->height(), LogBar(*frame)->minimumSize().height()) << row.name;
        EXPECT_LT(LogBar(*frame)->height(), 2 * LogBar(*frame)->minimumSize().height()) << row.name;
        EXPECT_EQ(LogBar(*frame)->slotSize(CCalcBar::Horizontal).height(), initial.height()) << row.name;
    }
}

}  // namespace
