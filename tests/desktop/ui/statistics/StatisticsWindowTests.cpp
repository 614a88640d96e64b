// The statistics bar: the six labelled fields, the core's display texts for
// the values the memory window chose, and where the bar appears.
#include "support/MemorySupport.h"

#include "core/settings/CalcSettings.h"
#include "core/engine/EngineState.h"

#include <QLabel>
#include <QLineEdit>

#include <array>

namespace {

using Texts = std::array<const char*, 6>;

const QStringList Labels = {"Mean (average)",    "Variance", "Standard deviation",
                            "Average deviation", "Skewness", "Kurtosis"};

class StatisticsWindowTest : public MemoryWindowTest {
protected:
    // The six texts after Statistics over cells holding values.
    QStringList statisticsOf(const std::vector<double>& values)
    {
        freeAll();
        std::vector<TestCell> cells;
        for (std::size_t i = 0; i < values.size(); ++i)
            cells.push_back({u"v" + std::u16string(1, static_cast<char16_t>(u'a' + i)), values[i]});
        store(cells);
        memory().button(CCalcMemory::StatisticsButton)->click();
        QStringList texts;
        for (std::size_t row = 0; row < 6; ++row)
            texts.append(statistics().field(row)->text());
        return texts;
    }
};

TEST_F(StatisticsWindowTest, FieldsShowTheTextsOfTheComputation)
{
    struct Row {
        const char* label;
        std::vector<double> values;
        Texts texts;
    };
    const Row rows[] = {
        {"1, 2, 3, 4",
         {1, 2, 3, 4},
         {"2.5", "1.6666666666666667407", "1.2909944487358055998", "1", "0", "-2.0775000000000001243"}},
        {"two values of 1e308",
         {1e308, 1e308},
         {"Overflow: too big positive number", "Undefined", "Undefined", "Overflow: too big positive number",
          "Undefined", "Undefined"}},
        {"two values of -1e308",
         {-1e308, -1e308},
         {"Overflow: too big negative number", "Undefined", "Undefined", "Overflow: too big positive number",
          "Undefined", "Undefined"}},
        {"all equal", {7, 7, 7}, {"7", "0", "0", "0", "Cannot be calculated", "Cannot be calculated"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        QStringList expected;
        for (const char* text : row.texts)
            expected.append(QString::fromLatin1(text));
        EXPECT_EQ(statisticsOf(row.values), expected);
    }
}

TEST_F(StatisticsWindowTest, FieldsAreEmptyAtFirstAndNamedByTheirLabels)
{
    const int ids[] = {1090, 1091, 1096, 1093, 1094, 1095};
    for (std::size_t row = 0; row < 6; ++row) {
        QLineEdit* field = statistics().field(row);
        EXPECT_TRUE(field->text().isEmpty());
        EXPECT_TRUE(field->isReadOnly());
        EXPECT_EQ(field->accessibleName(), Labels[static_cast<int>(row)]);
        EXPECT_EQ(field->objectName(), QStringLiteral("Field%1").arg(ids[row]));
    }
    QStringList shownLabels;
    for (const QLabel* label : statistics().findChildren<QLabel*>())
        shownLabels.append(label->text());
    EXPECT_EQ(shownLabels, Labels);
}

TEST_F(StatisticsWindowTest, TheNumberFormatShowsAtTheNextComputationNotAtOnce)
{
    EXPECT_EQ(statisticsOf({1e21, 3e21}).front(), QStringLiteral("2e+021"));
    NCalculatorText::State().CalcSettings.NotationCase = 1;
    frame->settingsNotifier().announce();
    EXPECT_EQ(statistics().field(0)->text(), QStringLiteral("2e+021"));
    memory().button(CCalcMemory::StatisticsButton)->click();
    EXPECT_EQ(statistics().field(0)->text(), QStringLiteral("2E+021"));
}

TEST_F(StatisticsWindowTest, LaterMemoryChangesLeaveTheResults)
{
    statisticsOf({1, 2, 3, 4});
    store({{u"va", 100}});
    EXPECT_EQ(statistics().field(0)->text(), QStringLiteral("2.5"));
}

TEST_F(StatisticsWindowTest, TheBarIsHiddenAtFirstAndFloatsAtItsPointWhenShown)
{
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    CCalcBar* bar = frame->bar(CalcBars::Statistics);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(bar->windowTitle(), QStringLiteral("Statistics"));
    frame->refreshCommandStates();
    EXPECT_FALSE(frame->action(CalcCommand::ToggleStatistics)->isChecked());

    statisticsOf({1, 2});
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->pos(), frame->mapToGlobal(QPoint(27, 27)));
    EXPECT_TRUE(frame->action(CalcCommand::ToggleStatistics)->isChecked());
    EXPECT_EQ(bar->panel()->size(), bar->panel()->sizeHint()) << "a fixed bar keeps its panel's size";

    // Its place and visibility come back after a restart.
    restartFrame();
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->bar(CalcBars::Statistics)->isVisible());
    EXPECT_TRUE(frame->bar(CalcBars::Statistics)->isFloating());
}

}  // namespace
