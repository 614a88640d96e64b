#include "desktop/ui/print/CCalcPrinting.h"

#include "desktop/services/CalcCommandBinder.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/ui/print/CCalcPageSetup.h"
#include "desktop/ui/print/CCalcPrintDialogs.h"
#include "desktop/ui/print/CCalcPrintPreview.h"
#include "desktop/ui/print/CalcPrintJob.h"
#include "desktop/ui/print/CalcPrintedPages.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>

namespace {

const QString ApplicationName = QStringLiteral("Calculator Tevra");

// The prompts as Qt's dialogs.
class PrintDialogs final : public ICalcPrintPrompts {
public:
    explicit PrintDialogs(QWidget* window) : window_(window) {}

    bool choosePrinter(QPrinter& printer, bool selectionAvailable) override
    {
        CCalcPrintDialog dialog(&printer, selectionAvailable, window_);
        return dialog.exec() == QDialog::Accepted;
    }

    QString choosePrintFile() override
    {
        QFileDialog dialog(window_, QStringLiteral("Print to File"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters({QStringLiteral("PDF Files (*.pdf)"), QStringLiteral("All Files (*)")});
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        dialog.setWindowIcon(QApplication::windowIcon());
        dialog.selectFile(CCalcPrintDialog::ProposedFileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    bool runPageSetup(CCalcPageSetup& dialog) override { return dialog.exec() == QDialog::Accepted; }

    void runPreview(CCalcPrintPreview& preview) override { preview.exec(); }

    void warn(const QString& message, const QString& detail) override
    {
        QMessageBox box(QMessageBox::Warning, ApplicationName, message, QMessageBox::Ok, window_);
        if (!detail.isEmpty())
            box.setInformativeText(detail);
        box.exec();
    }

private:
    QWidget* window_;
};

// Copies the queue and page settings of from to to.
void CopyPrinterSetup(const QPrinter& from, QPrinter& to)
{
    if (from.outputFormat() == QPrinter::NativeFormat && !from.printerName().isEmpty())
        to.setPrinterName(from.printerName());
    ApplyMode(ModeOf(from), to);
    to.setFullPage(true);
}

}  // namespace

CCalcPrinting::CCalcPrinting(CCalcView& editor, Document document, QWidget* window, QObject* parent)
    : QObject(parent), editor_(editor), document_(std::move(document)), window_(window),
      dialogs_(std::make_unique<PrintDialogs>(window)), prompts_(dialogs_.get())
{
}

CCalcPrinting::~CCalcPrinting() = default;

void CCalcPrinting::bindCommands(ICalcCommandBinder& commands)
{
    using namespace CalcCommand;
    commands.bindCommand(FilePrint, [this] { print(); });
    commands.bindCommand(FilePrintPreview, [this] { preview(); });
    commands.bindCommand(FilePageSetup, [this] { pageSetup(); });
}

void CCalcPrinting::loadSettings()
{
    QSettings store = Tevra::ProgramSettings();
    settings_ = LoadPrintSettings(store);
}

void CCalcPrinting::loadPrinterSelection()
{
    QSettings store = Tevra::ProgramSettings();
    selection_.load(store);
}

void CCalcPrinting::saveSettings() const
{
    QSettings store = Tevra::ProgramSettings();
    if (settingsChanged_)
        SavePrintSettings(settings_, store);
    selection_.save(store);
}

void CCalcPrinting::setPrompts(ICalcPrintPrompts* prompts)
{
    prompts_ = prompts ? prompts : dialogs_.get();
}

QPrinter& CCalcPrinting::printer()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setFullPage(true);
        selection_.applyTo(*printer_);
    }
    return *printer_;
}

void CCalcPrinting::forgetPrinterIfGone()
{
    // A queue removed while the program runs: start again from the default
    // printer.
    if (printer_ && printer_->outputFormat() == QPrinter::NativeFormat && !printer_->printerName().isEmpty() &&
        QPrinterInfo::printerInfo(printer_->printerName()).isNull()) {
        printer_.reset();
        selection_.clear();
    }
    printer();
}

QString CCalcPrinting::editorText(bool selectionOnly) const
{
    if (!selectionOnly)
        return editor_.text();
    return editor_.selectedText();
}

void CCalcPrinting::print()
{
    forgetPrinterIfGone();
    QPrinter& target = *printer_;
    const QString title = document_.Title();
    target.setDocName(title);
    target.setOutputFileName(QString());
    const bool selectionAvailable = editor_.hasSelection();
    if (!prompts_->choosePrinter(target, selectionAvailable))
        return;
    target.setFullPage(true);
    selection_.takeFrom(target);
    if (target.outputFormat() == QPrinter::PdfFormat && target.outputFileName().isEmpty()) {
        const QString file = prompts_->choosePrintFile();
        if (file.isEmpty())
            return;
        target.setOutputFileName(file);
    }

    const bool selectionOnly = selectionAvailable && target.printRange() == QPrinter::Selection;
    const CalcPrintSource source{editorText(selectionOnly), document_.Path()};
    const bool toFile = target.outputFormat() == QPrinter::PdfFormat;
    const QString port = toFile ? QDir::toNativeSeparators(target.outputFileName())
                                : NamesOf(QPrinterInfo::printerInfo(target.printerName())).Output;
    const QString printerName = toFile ? QStringLiteral("Print to File (PDF)") : target.printerName();

    // The progress dialog is modal: the main window takes no input while the
    // job runs.
    CCalcPrintingDialog progress(title, printerName, port, window_);
    progress.show();
    const CalcPrintOutcome outcome = RunPrintJob(target, settings_, source, title, [&progress](int page) {
        progress.setPage(page);
        QCoreApplication::processEvents();
        return !progress.isCancelled();
    });
    progress.hide();
    if (outcome.Outcome == CalcPrintOutcome::Result::CouldNotStart)
        prompts_->warn(CouldNotStartPrintJob, outcome.Detail);
}

void CCalcPrinting::paintAllPages(QPrinter& target)
{
    const CalcPrintedPages pages(settings_, CalcPrintSource{editor_.text(), document_.Path()}, target,
                                 QDateTime::currentDateTime());
    QPainter painter(&target);
    for (int page = 1; page <= pages.pageCount(); ++page) {
        if (page > 1)
            target.newPage();
        pages.paintPage(painter, page);
    }
}

void CCalcPrinting::preview()
{
    forgetPrinterIfGone();
    printer_->setDocName(document_.Title());
    bool printAfterwards = false;
    {
        CCalcPrintPreview preview(
            *printer_, [this](QPrinter& target) { paintAllPages(target); }, window_);
        prompts_->runPreview(preview);
        printAfterwards = preview.printRequested();
    }
    if (printAfterwards)
        print();
}

void CCalcPrinting::pageSetup()
{
    forgetPrinterIfGone();
    // The dialog works on a printer of its own, so that Cancel keeps the
    // program's printer as it was.
    QPrinter chosen(QPrinter::HighResolution);
    CopyPrinterSetup(*printer_, chosen);
    CCalcPageSetup dialog(settings_, chosen, CCalcPageSetup::UnitsOf(QLocale()), window_);
    if (!prompts_->runPageSetup(dialog))
        return;
    const CalcPrintSettings changed = dialog.settings();
    settingsChanged_ = settingsChanged_ || changed != settings_;
    settings_ = changed;
    CopyPrinterSetup(chosen, *printer_);
    selection_.takeFrom(*printer_);
}

bool CCalcPrinting::printWithoutDialogs(const QString& queue, QString& error)
{
    const QString name = queue.isEmpty() ? QPrinterInfo::defaultPrinterName() : queue;
    if (name.isEmpty()) {
        error = QPrinterInfo::availablePrinterNames().isEmpty()
            ? QStringLiteral("No printer is installed.")
            : QStringLiteral("No default printer is set up; name the printer to print on.");
        return false;
    }
    if (QPrinterInfo::printerInfo(name).isNull()) {
        error = QStringLiteral("There is no printer \"%1\".").arg(name);
        return false;
    }
    QPrinter target(QPrinter::HighResolution);
    target.setFullPage(true);
    target.setPrinterName(name);
    const CalcPrintOutcome outcome = RunPrintJob(target, settings_, CalcPrintSource{editor_.text(), document_.Path()},
                                                 document_.Title(), [](int) { return true; });
    if (outcome.Outcome == CalcPrintOutcome::Result::Printed)
        return true;
    error = CouldNotStartPrintJob;
    if (!outcome.Detail.isEmpty())
        error += u' ' + outcome.Detail;
    return false;
}
