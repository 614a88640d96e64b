// Printing of the editor text: the Print, Print Preview and Page Setup
// commands, the print settings and the printer selection they keep, and
// printing without dialogs for the command line.
#pragma once

#include "desktop/ui/print/CalcPrintSettings.h"
#include "desktop/ui/print/CalcPrinterSelection.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class CCalcPageSetup;
class CCalcPrintPreview;
class CCalcView;
class ICalcCommandBinder;
class QPrinter;
class QWidget;

// Everything printing asks the user, behind an interface tests answer.
class ICalcPrintPrompts {
public:
    virtual ~ICalcPrintPrompts() = default;
    // The print dialog on printer; false when cancelled.
    virtual bool choosePrinter(QPrinter& printer, bool selectionAvailable) = 0;
    // "Print to File": the file to print to; empty when cancelled.
    virtual QString choosePrintFile() = 0;
    // The page setup; true for OK.
    virtual bool runPageSetup(CCalcPageSetup& dialog) = 0;
    virtual void runPreview(CCalcPrintPreview& preview) = 0;
    virtual void warn(const QString& message, const QString& detail) = 0;
};

class CCalcPrinting final : public QObject {
    Q_OBJECT

public:
    // What the print job needs of the document: its path (empty while
    // untitled) and its title, the name the job goes by.
    struct Document {
        std::function<QString()> Path;
        std::function<QString()> Title;
    };

    // Prints the text of editor; window is the main window the dialogs belong
    // to (may be null).
    CCalcPrinting(CCalcView& editor, Document document, QWidget* window, QObject* parent = nullptr);
    ~CCalcPrinting() override;

    // Binds Print, Print Preview and Page Setup.
    void bindCommands(ICalcCommandBinder& commands);

    // The page-setup settings, read at start-up; the printer selection, read
    // at the end of start-up; both written back at shutdown.
    void loadSettings();
    void loadPrinterSelection();
    void saveSettings() const;

    const CalcPrintSettings& settings() const { return settings_; }
    void setSettings(const CalcPrintSettings& settings) { settings_ = settings; }
    CalcPrinterSelection& selection() { return selection_; }
    // The printer the commands print on, set to the printer selection.
    QPrinter& printer();

    void setPrompts(ICalcPrintPrompts* prompts);

    // The commands.
    void print();
    void preview();
    void pageSetup();

    // Prints the whole text on queue (the default printer when empty) with
    // the page setup and no dialog. False, with the reason in error, when
    // there is no such printer or the job cannot be printed.
    bool printWithoutDialogs(const QString& queue, QString& error);

private:
    QString editorText(bool selectionOnly) const;
    void paintAllPages(QPrinter& target);
    void forgetPrinterIfGone();

    CCalcView& editor_;
    Document document_;
    QWidget* window_;
    std::unique_ptr<ICalcPrintPrompts> dialogs_;
    ICalcPrintPrompts* prompts_;
    CalcPrintSettings settings_;
    bool settingsChanged_ = false;
    CalcPrinterSelection selection_;
    std::unique_ptr<QPrinter> printer_;
};
