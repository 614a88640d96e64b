// Print jobs through Qt's PDF printer, read back page by page: header and
// footer, the body on its pages, the page range and order, Cancel, and the
// page count of "n of N" against the pages printed.
#include "support/PrintSupport.h"

#include "desktop/ui/print/CCalcPrintDialogs.h"
#include "desktop/ui/print/CalcPrintJob.h"
#include "desktop/ui/print/CalcPrintedPages.h"

#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// count lines "n*n = ..." so that every line is told apart from the others.
QString Calculation(int count)
{
    QString text;
    for (int i = 1; i <= count; ++i)
        text += QStringLiteral("%1*%1 = %2; // line %1\n").arg(i).arg(i * i);
    text.chop(1);
    return text;
}

class PdfJob : public ::testing::Test {
protected:
    PdfJob()
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(output());
        printer.setFullPage(true);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }

    QString output() const { return directory.filePath(QStringLiteral("out.pdf")); }

    CalcPrintOutcome print(
        const CalcPrintSource& source, std::function<bool(int)> progress = [](int) { return true; })
    {
        return RunPrintJob(printer, settings, source, QStringLiteral("sums.vcl"), progress);
    }

    QTemporaryDir directory;
    QPrinter printer{QPrinter::HighResolution};
    CalcPrintSettings settings;
};

TEST_F(PdfJob, EveryPageHasTheHeaderAndFooterAndTheBodyContinues)
{
    const CalcPrintSource source{Calculation(120), QStringLiteral("/home/user/sums.vcl")};
    const CalcPrintOutcome outcome = print(source);
    ASSERT_EQ(outcome.Outcome, CalcPrintOutcome::Result::Printed);
    const QStringList pages = PdfPageTexts(output());
    ASSERT_GE(pages.size(), 2) << "120 lines of 12 pt do not fit on one A4 page";
    EXPECT_EQ(outcome.Pages, pages.size());

    int nextLine = 1;
    for (int page = 1; page <= pages.size(); ++page) {
        SCOPED_TRACE(page);
        const QString text = pages[page - 1].simplified();
        EXPECT_TRUE(text.startsWith(QStringLiteral("Calculator file sums.vcl"))) << text.left(80).toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("%1 of %2").arg(page).arg(pages.size())));
        EXPECT_TRUE(text.contains(FooterDate(QDateTime::currentDateTime())));
        // The body lines follow one another across the pages.
        const int first = nextLine;
        while (nextLine <= 120 && text.contains(QStringLiteral("; // line %1 ").arg(nextLine)))
            ++nextLine;
        EXPECT_GT(nextLine, first) << "the page carries body lines";
    }
    EXPECT_EQ(nextLine, 121) << "every line is printed";
}

TEST_F(PdfJob, AMemoryFilePrintsItsKind)
{
    ASSERT_EQ(print({QStringLiteral("1->Mem[a]"), QStringLiteral("/data/cells.vcm")}).Outcome,
              CalcPrintOutcome::Result::Printed);
    const QStringList pages = PdfPageTexts(output());
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].simplified().startsWith(QStringLiteral("Calculator memory file cells.vcm")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("1 of 1")));
}

TEST_F(PdfJob, ThePageCountIsTheNumberOfPagesPrinted)
{
    struct Row {
        int textSize;
        int serviceSize;
        int lines;
    };
    const Row rows[] = {{12, 10, 1}, {12, 10, 62}, {8, 10, 200}, {30, 40, 50}, {12, 72, 30}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.textSize << " pt / " << row.serviceSize << " pt, " << row.lines);
        settings.TextFont.Size = row.textSize;
        settings.ServiceFont.Size = row.serviceSize;
        const CalcPrintSource source{Calculation(row.lines), QStringLiteral("/x/a.vcl")};
        const CalcPrintedPages pages(settings, source, printer, QDateTime::currentDateTime());
        ASSERT_TRUE(pages.complete());
        ASSERT_EQ(print(source).Outcome, CalcPrintOutcome::Result::Printed);
        const QStringList printed = PdfPageTexts(output());
        EXPECT_EQ(printed.size(), pages.pageCount());
        // With a large service font the number may fall back to plain "n".
        const CalcPageLayout last = pages.layoutOf(pages.pageCount());
        ASSERT_TRUE(last.PageNumber);
        EXPECT_TRUE(last.PageNumber->Text == QStringLiteral("%1 of %1").arg(printed.size()) ||
                    last.PageNumber->Text == QString::number(printed.size()))
            << last.PageNumber->Text.toStdString();
        EXPECT_TRUE(printed.constLast().contains(last.PageNumber->Text));
    }
}

TEST_F(PdfJob, ThePageRangeAndOrderAreKept)
{
    const CalcPrintSource source{Calculation(200), QString()};
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    ASSERT_EQ(print(source).Outcome, CalcPrintOutcome::Result::Printed);
    QStringList pages = PdfPageTexts(output());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("2 of ")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("3 of ")));
    EXPECT_TRUE(pages[0].simplified().startsWith(QStringLiteral("Calculator unnamed file")));

    printer.setPageOrder(QPrinter::LastPageFirst);
    ASSERT_EQ(print(source).Outcome, CalcPrintOutcome::Result::Printed);
    pages = PdfPageTexts(output());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("3 of ")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("2 of ")));
}

TEST_F(PdfJob, PagesToPrintClampsTheRange)
{
    struct Row {
        int from, to, count;
        std::vector<int> pages;
    };
    const Row rows[] = {
        {0, 0, 3, {1, 2, 3}}, {2, 9, 3, {2, 3}}, {5, 9, 3, {3}}, {2, 2, 4, {2}}, {1, 1, 1, {1}},
    };
    printer.setPrintRange(QPrinter::PageRange);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.from << '-' << row.to << " of " << row.count);
        printer.setFromTo(row.from, row.to);
        EXPECT_EQ(PagesToPrint(printer, row.count), row.pages);
    }
}

TEST_F(PdfJob, CancelStopsAfterTheCurrentPageAndLeavesNoPartialFile)
{
    std::vector<int> asked;
    const CalcPrintOutcome outcome = print({Calculation(200), QString()}, [&asked](int page) {
        asked.push_back(page);
        return page < 2;
    });
    EXPECT_EQ(outcome.Outcome, CalcPrintOutcome::Result::Cancelled);
    EXPECT_EQ(outcome.Pages, 1);
    EXPECT_EQ(asked, (std::vector<int>{1, 2}));
    EXPECT_FALSE(QFile::exists(output()));
}

TEST_F(PdfJob, MarginsThatLeaveNoRoomPrintOneEmptyPage)
{
    settings.MarginLeft = 5'000'000;
    settings.MarginRight = 5'000'000;
    const CalcPrintSource source{Calculation(50), QStringLiteral("/x/a.vcl")};
    const CalcPrintedPages pages(settings, source, printer, QDateTime::currentDateTime());
    EXPECT_EQ(pages.pageCount(), 1);
    EXPECT_FALSE(pages.complete());
    EXPECT_FALSE(pages.layoutOf(1).Prints);
    ASSERT_EQ(print(source).Outcome, CalcPrintOutcome::Result::Printed);
    const QStringList printed = PdfPageTexts(output());
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed[0].trimmed().isEmpty());
}

TEST_F(PdfJob, AFontTooLargeForThePagePrintsWhatFitsAndEnds)
{
    settings.TextFont.Size = 1000;
    const CalcPrintSource source{Calculation(50), QStringLiteral("/x/a.vcl")};
    const CalcPrintedPages pages(settings, source, printer, QDateTime::currentDateTime());
    EXPECT_EQ(pages.pageCount(), 1);
    EXPECT_FALSE(pages.complete());
    ASSERT_EQ(print(source).Outcome, CalcPrintOutcome::Result::Printed);
    const QStringList printed = PdfPageTexts(output());
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed[0].simplified().startsWith(QStringLiteral("Calculator file a.vcl")));
}

TEST_F(PdfJob, AFileThatCannotBeWrittenCannotStartTheJob)
{
    printer.setOutputFileName(directory.filePath(QStringLiteral("missing/folder/out.pdf")));
    EXPECT_EQ(print({QStringLiteral("1+1"), QString()}).Outcome, CalcPrintOutcome::Result::CouldNotStart);
}

TEST(PrintingDialog, ShowsThePageAndCancels)
{
    CCalcPrintingDialog dialog(QStringLiteral("sums.vcl"), QStringLiteral("office"), QStringLiteral("room 1"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Printing"));
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal) << "the main window takes no input meanwhile";
    dialog.setPage(3);
    EXPECT_EQ(dialog.pageText(), QStringLiteral("Page 3"));
    EXPECT_FALSE(dialog.isCancelled());
    dialog.reject();
    EXPECT_TRUE(dialog.isCancelled());
}

TEST(PrintDialog, PrintingToAFileProposesOutputPdf)
{
    QPrinter printer;
    CCalcPrintDialog dialog(&printer, true);
    auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->text().endsWith(QStringLiteral("/Output.pdf"))) << file->text().toStdString();
    EXPECT_TRUE(dialog.testOption(QAbstractPrintDialog::PrintSelection));
    CCalcPrintDialog without(&printer, false);
    EXPECT_FALSE(without.testOption(QAbstractPrintDialog::PrintSelection));
}

}  // namespace
