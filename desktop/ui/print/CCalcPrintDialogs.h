// The dialogs of a print job: the print dialog (printer, range, copies) and
// the progress dialog shown while the pages are printed.
#pragma once

#include <QDialog>
#include <QPrintDialog>

class QLabel;
class QPrinter;

// Qt's print dialog with the program's icon. "Selection" is offered only when
// the editor has a selection; printing to a file proposes "Output.pdf".
class CCalcPrintDialog final : public QPrintDialog {
    Q_OBJECT

public:
    CCalcPrintDialog(QPrinter* printer, bool selectionAvailable, QWidget* parent = nullptr);

    // The file name printing to a file proposes.
    static const QString ProposedFileName;
};

// "Printing": the document's title, the page being printed, the printer and
// where it prints, and Cancel.
class CCalcPrintingDialog final : public QDialog {
    Q_OBJECT

public:
    CCalcPrintingDialog(const QString& document, const QString& printer, const QString& port,
                        QWidget* parent = nullptr);

    // Shows "Page %u".
    void setPage(int page);
    QString pageText() const;
    bool isCancelled() const { return cancelled_; }
    // The Cancel button's action: the job stops after the current page.
    void cancel() { cancelled_ = true; }
    // Escape is Cancel too.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* page_ = nullptr;
    bool cancelled_ = false;
};
