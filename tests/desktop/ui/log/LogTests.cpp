// The log panel: numbering, colours, pop-up rule and persisted column widths.
#include <QApplication>
#include <QHeaderView>
#include <QSettings>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "core/settings/CalcSettings.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/log/CCalcLog.h"
#include "core/engine/EngineState.h"

namespace {

using NCalculatorText::LogRecord;

const char* const WidthKeys[] = {"NumberWidth", "StatusWidth", "ContextWidth", "DescriptionWidth"};

QSettings Store()
{
    return Tevra::ProgramSettings();
}

class LogPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        Store().remove(QStringLiteral("GUI/Log"));
        savedPopup_ = NCalculatorText::State().CalcSettings.LogPopup;
    }
    void TearDown() override
    {
        NCalculatorText::State().CalcSettings.LogPopup = savedPopup_;
        Store().remove(QStringLiteral("GUI/Log"));
    }

    static LogRecord Record(int status, std::u16string_view context = u"Division",
                            std::u16string description = u"Zero divisor")
    {
        return LogRecord{status, context, std::move(description)};
    }

    std::uint32_t savedPopup_ = 1;
};

QString Cell(const CCalcLog& log, int row, int column)
{
    return log.list()->topLevelItem(row)->text(column);
}

TEST_F(LogPanel, HasTheFourColumns)
{
    CCalcLog log;
    const QTreeWidgetItem* header = log.list()->headerItem();
    ASSERT_EQ(log.list()->columnCount(), 4);
    EXPECT_EQ(header->text(0), QStringLiteral("N"));
    EXPECT_EQ(header->text(1), QStringLiteral("Status"));
    EXPECT_EQ(header->text(2), QStringLiteral("Context"));
    EXPECT_EQ(header->text(3), QStringLiteral("Description"));
}

TEST_F(LogPanel, RowsAreNumberedFromOneAfterEveryClear)
{
    CCalcLog log;
    for (int i = 0; i < 3; ++i)
        log.Add(Record(1));
    ASSERT_EQ(log.rowCount(), 3);
    EXPECT_EQ(Cell(log, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(Cell(log, 2, 0), QStringLiteral("3"));
    EXPECT_TRUE(log.list()->topLevelItem(2)->textAlignment(0) & Qt::AlignRight);

    log.Clear();
    EXPECT_EQ(log.rowCount(), 0);
    log.Add(Record(0));
    ASSERT_EQ(log.rowCount(), 1);
    EXPECT_EQ(Cell(log, 0, 0), QStringLiteral("1"));
}

TEST_F(LogPanel, StatusGivesWordAndColour)
{
    struct Case {
        int Status;
        const char* Word;
        QColor Colour;
    };
    const Case cases[] = {
        {1, "Error", QColor(255, 0, 0)},
        {0, "Warning", QColor(0, 0, 255)},
        {2, "Warning", QColor(0, 0, 255)},
        {-1, "Warning", QColor(0, 0, 255)},
    };
    CCalcLog log;
    for (const Case& row : cases) {
        log.Clear();
        log.Add(Record(row.Status, u"Archyperbolic cotangent", u"Argument 5 out of domain"));
        const QTreeWidgetItem* item = log.list()->topLevelItem(0);
        EXPECT_EQ(item->text(1), QString::fromLatin1(row.Word)) << row.Status;
        EXPECT_EQ(item->text(2), QStringLiteral("Archyperbolic cotangent"));
        EXPECT_EQ(item->text(3), QStringLiteral("Argument 5 out of domain"));
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(item->foreground(c).color(), row.Colour) << row.Status << " column " << c;
    }
}

TEST_F(LogPanel, EmptyTextsGiveEmptyCells)
{
    CCalcLog log;
    log.Add(Record(1, u"", u""));
    EXPECT_EQ(Cell(log, 0, 2), QString());
    EXPECT_EQ(Cell(log, 0, 3), QString());
}

TEST_F(LogPanel, PopupIsRequestedOnlyWhenLogPopupIsSet)
{
    CCalcLog log;
    QSignalSpy popup(&log, &CCalcLog::popupRequested);
    NCalculatorText::State().CalcSettings.LogPopup = 0;
    log.Add(Record(1));
    EXPECT_EQ(popup.count(), 0);
    EXPECT_EQ(log.rowCount(), 1);

    NCalculatorText::State().CalcSettings.LogPopup = 1;
    log.Add(Record(0));
    EXPECT_EQ(popup.count(), 1);
}

TEST_F(LogPanel, NewRowIsScrolledIntoView)
{
    CCalcLog log;
    log.resize(400, 120);
    log.show();
    for (int i = 0; i < 50; ++i)
        log.Add(Record(i % 2));
    QApplication::processEvents();
    const QRect last = log.list()->visualItemRect(log.list()->topLevelItem(49));
    EXPECT_GE(last.top(), 0);
    EXPECT_LE(last.bottom(), log.list()->viewport()->height());
}

TEST_F(LogPanel, DefaultWidthsFitTheirSampleTexts)
{
    CCalcLog log;
    // A row holding the four sample texts: the list's own delegate says how
    // wide each cell must be to show its text whole.
    log.Add({0, u"Archyperbolic cotangent",
             u"Operation resulted in partial loss of precision, result accepted as 0.12345678."});
    QTreeWidgetItem* row = log.list()->topLevelItem(0);
    row->setText(0, QStringLiteral("88"));
    const QFontMetrics metrics = log.list()->fontMetrics();
    for (int c = 0; c < 4; ++c) {
        const QModelIndex index = log.list()->model()->index(0, c);
        QStyleOptionViewItem option;
        option.initFrom(log.list());
        const int needed = log.list()->itemDelegate()->sizeHint(option, index).width();
        const int width = log.list()->columnWidth(c);
        EXPECT_EQ(width, log.defaultColumnWidth(static_cast<CCalcLog::Column>(c))) << c;
        EXPECT_GE(width, needed) << c;
        if (c >= 1) {  // the samples decide these widths, not the headings
            EXPECT_LE(width, metrics.horizontalAdvance(row->text(c)) + 12) << c;
        }
    }
}

TEST_F(LogPanel, WidthsSurviveARestart)
{
    {
        CCalcLog log;
        log.list()->setColumnWidth(0, 31);
        log.list()->setColumnWidth(3, 777);
    }
    CCalcLog log;
    EXPECT_EQ(log.list()->columnWidth(0), 31);
    EXPECT_EQ(log.list()->columnWidth(3), 777);
    EXPECT_EQ(log.list()->columnWidth(2), log.defaultColumnWidth(CCalcLog::ContextColumn));
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Log/DescriptionWidth")).toInt(), 777);
}

TEST_F(LogPanel, DescriptionReachesThePanelEdgeAndKeepsItsOwnWidth)
{
    const auto columnsWidth = [](const CCalcLog& log) {
        int sum = 0;
        for (int c = 0; c < CCalcLog::ColumnCount; ++c)
            sum += log.list()->columnWidth(c);
        return sum;
    };
    int defaultDescription = 0;
    {
        CCalcLog log;
        defaultDescription = log.defaultColumnWidth(CCalcLog::DescriptionColumn);
        const int others = columnsWidth(log) - log.list()->columnWidth(CCalcLog::DescriptionColumn);
        log.resize(others + defaultDescription + 400, 200);
        log.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
        // Wide panel: the last column fills it, with no gap at the right.
        EXPECT_EQ(columnsWidth(log), log.list()->viewport()->width());
        EXPECT_GT(log.list()->columnWidth(CCalcLog::DescriptionColumn), defaultDescription);
        // Narrow panel: the column keeps its own width and the list scrolls.
        log.resize(others + defaultDescription / 2, 200);
        QApplication::processEvents();
        EXPECT_EQ(log.list()->columnWidth(CCalcLog::DescriptionColumn), defaultDescription);
        log.resize(others + defaultDescription + 400, 200);
        QApplication::processEvents();
        EXPECT_EQ(columnsWidth(log), log.list()->viewport()->width());
    }
    // What is stored is the column's own width, not the filled one.
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Log/DescriptionWidth")).toInt(), defaultDescription);

    {
        CCalcLog log;
        log.resize(800, 200);
        log.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
        // The user drags the column wider than the panel.
        log.list()->header()->resizeSection(CCalcLog::DescriptionColumn, 1500);
        EXPECT_EQ(log.list()->columnWidth(CCalcLog::DescriptionColumn), 1500);
    }
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Log/DescriptionWidth")).toInt(), 1500);
    CCalcLog log;
    EXPECT_EQ(log.list()->columnWidth(CCalcLog::DescriptionColumn), 1500);
}

TEST_F(LogPanel, BadStoredWidthsGiveTheDefaults)
{
    const QVariant bad[] = {QStringLiteral("abc"), QStringLiteral("-40"), QStringLiteral("99999999"),
                            QStringLiteral("0"), QStringLiteral("12.5")};
    for (const QVariant& value : bad) {
        QSettings store = Store();
        for (const char* key : WidthKeys)
            store.setValue(QStringLiteral("GUI/Log/%1").arg(QLatin1String(key)), value);
        store.sync();
        CCalcLog log;
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(log.list()->columnWidth(c), log.defaultColumnWidth(static_cast<CCalcLog::Column>(c)))
                << value.toString().toStdString() << " column " << c;
    }
}

}  // namespace
