// The print commands: Print with its dialog answers (selection, print to
// file), Print Preview, Page Setup with Cancel and OK, and their place in the
// program: bound, enabled, and the page setup kept across a restart.
#include "support/FrameSupport.h"
#include "support/PrintSupport.h"

#include "desktop/app/CCalcApp.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/ui/print/CCalcPageSetup.h"
#include "desktop/ui/print/CCalcPrintPreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

class PrintCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStore().remove(QStringLiteral("Print"));
        view.loadText(QStringLiteral("1+1 = 2;\n2*3 = 6;\n10/4 = 2.5"));
        printing.setPrompts(&prompts);
        // The print dialog answers: print to a PDF file.
        prompts.onChoosePrinter = [this](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(output());
            printer.setPrintRange(range);
            return true;
        };
    }
    void TearDown() override { ProgramStore().remove(QStringLiteral("Print")); }

    QString output() const { return directory.filePath(QStringLiteral("printed.pdf")); }

    QTemporaryDir directory;
    CCalcView view;
    QString path = QStringLiteral("/work/sums.vcl");
    CCalcPrinting printing{
        view, CCalcPrinting::Document{[this] { return path; }, [] { return QStringLiteral("sums.vcl"); }}, nullptr};
    FakePrintPrompts prompts;
    QPrinter::PrintRange range = QPrinter::AllPages;
};

TEST_F(PrintCommands, PrintWritesTheWholeTextWithHeaderAndFooter)
{
    printing.print();
    ASSERT_EQ(prompts.offeredSelection, std::vector<bool>{false}) << "no selection: no Selection option";
    const QStringList pages = PdfPageTexts(output());
    ASSERT_EQ(pages.size(), 1);
    const QString text = pages[0].simplified();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Calculator file sums.vcl 1+1 = 2; 2*3 = 6; 10/4 = 2.5")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("1 of 1")));
    EXPECT_TRUE(prompts.warnings.isEmpty());
}

TEST_F(PrintCommands, TheSelectionPrintsAlone)
{
    view.setSelection(9, 17);  // "2*3 = 6;"
    range = QPrinter::Selection;
    printing.print();
    ASSERT_EQ(prompts.offeredSelection, std::vector<bool>{true});
    const QStringList pages = PdfPageTexts(output());
    ASSERT_EQ(pages.size(), 1);
    const QString text = pages[0].simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("sums.vcl 2*3 = 6;")));
    EXPECT_FALSE(text.contains(QStringLiteral("1+1"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("10/4")));
}

TEST_F(PrintCommands, PrintToFileWithoutANameAsksForOne)
{
    prompts.onChoosePrinter = [](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString());
        printer.setOutputFormat(QPrinter::PdfFormat);
        return true;
    };
    printing.print();
    EXPECT_EQ(prompts.printFileRequests, 1);
    EXPECT_FALSE(QFile::exists(output())) << "Cancel in the file dialog ends the job";

    prompts.printFile = output();
    printing.print();
    EXPECT_EQ(prompts.printFileRequests, 2);
    EXPECT_EQ(PdfPageTexts(output()).size(), 1);
}

TEST_F(PrintCommands, CancelInThePrintDialogPrintsNothing)
{
    prompts.onChoosePrinter = [](QPrinter&) { return false; };
    printing.print();
    EXPECT_FALSE(QFile::exists(output()));
    EXPECT_TRUE(prompts.warnings.isEmpty());
}

TEST_F(PrintCommands, AFileThatCannotBeWrittenSaysSo)
{
    prompts.onChoosePrinter = [this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(directory.filePath(QStringLiteral("no/such/folder/out.pdf")));
        return true;
    };
    printing.print();
    EXPECT_EQ(prompts.warnings, QStringList{QStringLiteral("Could not start print job.")});
}

TEST_F(PrintCommands, ThePreviewShowsThePagesPrintingMakes)
{
    QString text;
    for (int i = 1; i <= 150; ++i)
        text += QStringLiteral("%1+%1 = %2;\n").arg(i).arg(2 * i);
    view.loadText(text);
    int previewed = 0;
    prompts.onPreview = [&previewed](CCalcPrintPreview& preview) {
        preview.pages()->updatePreview();
        previewed = preview.pages()->pageCount();
        preview.showNextPage();
        EXPECT_EQ(preview.pages()->currentPage(), 2);
        EXPECT_FALSE(preview.printRequested());
    };
    printing.preview();
    EXPECT_TRUE(prompts.offeredSelection.empty()) << "closing the preview prints nothing";
    printing.print();
    EXPECT_EQ(previewed, PdfPageTexts(output()).size());
    EXPECT_GE(previewed, 3);
}

TEST_F(PrintCommands, PrintInThePreviewRunsThePrintCommand)
{
    prompts.onPreview = [](CCalcPrintPreview& preview) {
        QAction* print = preview.findChild<QAction*>(QStringLiteral("PreviewPrint"));
        ASSERT_NE(print, nullptr);
        print->trigger();
    };
    printing.preview();
    EXPECT_EQ(prompts.offeredSelection.size(), 1u);
    EXPECT_EQ(PdfPageTexts(output()).size(), 1);
}

TEST_F(PrintCommands, PageSetupChangesTheSettingsOnlyOnOk)
{
    prompts.onPageSetup = [](CCalcPageSetup& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("FileInfo"))->setChecked(false);
        return false;
    };
    printing.pageSetup();
    EXPECT_EQ(printing.settings(), CalcPrintSettings{});
    printing.saveSettings();
    EXPECT_FALSE(ProgramStore().contains(QStringLiteral("Print/Items"))) << "nothing changed, nothing written";

    prompts.onPageSetup = [](CCalcPageSetup& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("FileInfo"))->setChecked(false);
        dialog.findChild<QComboBox*>(QStringLiteral("Position"))->setCurrentIndex(0);
        return true;
    };
    printing.pageSetup();
    EXPECT_EQ(printing.settings().Items, 431u - 1u - 3u * 128u);
    printing.print();
    const QString text = PdfPageTexts(output()).value(0).simplified();
    EXPECT_TRUE(text.startsWith(QStringLiteral("1 of 1 1+1 = 2;"))) << text.toStdString();
}

class PrintingApp : public FreshProgramTest {};

TEST_F(PrintingApp, ThePrintCommandsAreBoundAndThePageSetupOutlivesARestart)
{
    {
        CCalcApp app;
        ASSERT_TRUE(app.start({}));
        for (const int id : {CalcCommand::FilePrint, CalcCommand::FilePrintPreview, CalcCommand::FilePageSetup})
            EXPECT_TRUE(app.frame()->action(id)->isEnabled()) << id;
        ASSERT_NE(app.printing(), nullptr);
        FakePrintPrompts prompts;
        prompts.onPageSetup = [](CCalcPageSetup& dialog) {
            dialog.findChild<QCheckBox*>(QStringLiteral("Time"))->setChecked(false);
            return true;
        };
        app.printing()->setPrompts(&prompts);
        app.frame()->action(CalcCommand::FilePageSetup)->trigger();
        app.frame()->close();
        app.shutdown();
    }
    EXPECT_EQ(ProgramStore().value(QStringLiteral("Print/Items")).toInt(), 429);
    CCalcApp again;
    ASSERT_TRUE(again.start({}));
    EXPECT_EQ(again.printing()->settings().Items, 429u);
    again.frame()->close();
}

TEST_F(PrintingApp, PrintingFromTheCommandLineWithoutAPrinterFailsWithoutAWindow)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("sums.vcl"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\xFF\xFE"
                          "1\0+\0"
                          "1\0",
                          8));
    file.close();
    const QStringList forms[] = {{"/p", path},
                                 {"/pt", path, "office", "CUPS", "room"},
                                 {"--print", path},
                                 {"--print-to", "office", path},
                                 {"/p", directory.filePath("missing.vcl")}};
    for (const QStringList& arguments : forms) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        CCalcApp app;
        EXPECT_FALSE(app.start(arguments));
        EXPECT_EQ(app.exitCode(), 1);
        EXPECT_EQ(app.frame(), nullptr);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no message box";
    }
}

}  // namespace
