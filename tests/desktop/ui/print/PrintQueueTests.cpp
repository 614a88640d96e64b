// Printing on a real print queue: the private print system of cups-server.sh
// with its PDF queue. The names the selection takes from the queue, the
// selection kept across a restart, the Print command's job arriving as a
// PDF, and a queue that refuses the job.
#include "support/PrintSupport.h"

#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/ui/print/CCalcPageSetup.h"
#include "desktop/ui/print/CCalcPrintDialogs.h"
#include "desktop/ui/print/CalcPrintSettings.h"
#include "desktop/ui/print/CalcPrinterSelection.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QString Queue()
{
    return qEnvironmentVariable("TEVRA_TEST_QUEUE");
}

QString OutputFolder()
{
    return qEnvironmentVariable("TEVRA_TEST_QUEUE_OUTPUT");
}

class PrintQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(Queue().isEmpty()) << "TEVRA_TEST_QUEUE names no queue: run through ctest";
        ASSERT_FALSE(QPrinterInfo::printerInfo(Queue()).isNull())
            << "the queue " << Queue().toStdString() << " of the private print system is not there (CUPS_SERVER="
            << qEnvironmentVariable("CUPS_SERVER").toStdString() << ")";
        Tevra::ProgramSettings().clear();
    }
    void TearDown() override { Tevra::ProgramSettings().clear(); }

    // True once the queue holds no job that is not completed, waiting up to
    // 30 seconds: cups-pdf writes its file while the job runs, so only then
    // is the file whole.
    static bool QueueIsDone()
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000) {
            QProcess lpstat;
            lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-o"), Queue()});
            if (lpstat.waitForFinished(10000) && lpstat.exitCode() == 0 &&
                lpstat.readAllStandardOutput().trimmed().isEmpty())
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    // The text of the next PDF the queue writes, waiting up to 30 seconds.
    static QString NextPdfText(const QStringList& before)
    {
        if (!QueueIsDone()) {
            ADD_FAILURE() << "the queue did not finish its job within 30 seconds";
            return {};
        }
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000) {
            const QStringList now = QDir(OutputFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
            for (const QString& name : now) {
                if (before.contains(name))
                    continue;
                const QStringList pages = PdfPageTexts(QDir(OutputFolder()).filePath(name));
                if (!pages.isEmpty())
                    return pages.join(u'\f');
            }
            QThread::msleep(100);
        }
        ADD_FAILURE() << "the queue wrote no PDF into " << OutputFolder().toStdString() << " within 30 seconds";
        return {};
    }

    static QStringList Pdfs() { return QDir(OutputFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files); }
};

TEST_F(PrintQueue, TheSelectionNamesTheQueueItsKindAndItsLocation)
{
    const CalcPrinterNames names = NamesOf(QPrinterInfo::printerInfo(Queue()));
    EXPECT_EQ(names.Device, Queue());
    EXPECT_TRUE(names.Driver.contains(QStringLiteral("CUPS-PDF"))) << names.Driver.toStdString();
    EXPECT_EQ(names.Output, QStringLiteral("Tevra test room"));
}

TEST_F(PrintQueue, TheChosenQueueAndPaperComeBackAfterARestart)
{
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(Queue());
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setCopyCount(4);
        CalcPrinterSelection selection;
        selection.takeFrom(printer);
        QSettings store = Tevra::ProgramSettings();
        selection.save(store);
    }
    EXPECT_EQ(Tevra::ProgramSettings().value(QStringLiteral("Print/Device")).toString(), Queue());
    CalcPrinterSelection loaded;
    QSettings store = Tevra::ProgramSettings();
    loaded.load(store);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    ASSERT_TRUE(loaded.applyTo(printer));
    EXPECT_EQ(printer.outputFormat(), QPrinter::NativeFormat);
    EXPECT_EQ(printer.printerName(), Queue());
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.copyCount(), 1) << "the copy count is 1 after loading";
}

// The printers a combo box offers, in its order.
QStringList Items(const QComboBox& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items.append(list.itemText(i));
    return items;
}

TEST_F(PrintQueue, PageSetupListsThePrintersThePrintDialogLists)
{
    struct Row {
        const char* name;
        QPrinter::OutputFormat format;
    };
    for (const Row row :
         {Row{"printing to the queue", QPrinter::NativeFormat}, Row{"printing to a file", QPrinter::PdfFormat}}) {
        SCOPED_TRACE(row.name);
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(Queue());
        printer.setOutputFormat(row.format);
        CCalcPrintDialog print(&printer, false);
        // Qt's dialog lists the print system's queues and then its own
        // entries for printing to a file.
        QStringList printed;
        for (const QComboBox* list : print.findChildren<QComboBox*>()) {
            if (Items(*list).contains(Queue()))
                printed = Items(*list);
        }
        ASSERT_TRUE(printed.contains(Queue()));
        CCalcPageSetup setup(CalcPrintSettings{}, printer, CCalcPageSetup::Units::Metric);
        const auto* listed = setup.findChild<QComboBox*>(QStringLiteral("Printer"));
        ASSERT_NE(listed, nullptr);
        for (const QString& queue : QPrinterInfo::availablePrinterNames())
            EXPECT_TRUE(printed.contains(queue)) << queue.toStdString();
        EXPECT_EQ(Items(*listed), QPrinterInfo::availablePrinterNames());
        EXPECT_TRUE(Items(*listed).contains(Queue()));
        EXPECT_NE(listed->placeholderText(), QStringLiteral("No printer is installed"));
    }
}

class PrintCommandOnQueue : public PrintQueue {
protected:
    void SetUp() override
    {
        PrintQueue::SetUp();
        view.loadText(QStringLiteral("6*7 = 42; // printed by the Print command"));
        printing.setPrompts(&prompts);
        prompts.onChoosePrinter = [](QPrinter& printer) {
            printer.setPrinterName(Queue());
            return true;
        };
    }

    CCalcView view;
    CCalcPrinting printing{view,
                           CCalcPrinting::Document{[] { return QStringLiteral("/tmp/answer.vcl"); },
                                                   [] { return QStringLiteral("answer.vcl"); }},
                           nullptr};
    FakePrintPrompts prompts;
};

TEST_F(PrintCommandOnQueue, TheJobArrivesOnTheQueue)
{
    const QStringList before = Pdfs();
    printing.print();
    EXPECT_TRUE(prompts.warnings.isEmpty()) << prompts.warnings.join(' ').toStdString();
    const QString text = NextPdfText(before).simplified();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Calculator file answer.vcl 6*7 = 42; // printed by the Print command")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("1 of 1")));
    ASSERT_TRUE(printing.selection().hasNames()) << "the queue printed on becomes the selection";
    EXPECT_EQ(ReadNamesBlock(printing.selection().namesBlock())->Device, Queue());
}

TEST_F(PrintCommandOnQueue, AQueueThatRefusesTheJobIsReported)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral("cupsreject"), {Queue()}), 0);
    printing.print();
    EXPECT_EQ(QProcess::execute(QStringLiteral("cupsaccept"), {Queue()}), 0);
    EXPECT_EQ(prompts.warnings, QStringList{QStringLiteral("Could not start print job.")});
    EXPECT_FALSE(prompts.details.value(0).isEmpty()) << "the print system's reason";
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    qputenv("XDG_CONFIG_HOME", settingsDir.path().toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
