// Print preview: the pages as they will print, with a toolbar to page
// through them, zoom, show one or two pages, print and close.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPainter;
class QPrinter;
class QPrintPreviewWidget;

class CCalcPrintPreview final : public QDialog {
    Q_OBJECT

public:
    // paint paints every page on the printer it is given, as printing would.
    CCalcPrintPreview(QPrinter& printer, std::function<void(QPrinter&)> paint, QWidget* parent = nullptr);

    // True after "Print..." closed the preview: the caller prints.
    bool printRequested() const { return printRequested_; }
    QPrintPreviewWidget* pages() const { return preview_; }

    void showNextPage();
    void showPreviousPage();

private:
    void updatePageText();

    QPrintPreviewWidget* preview_ = nullptr;
    QLabel* pageText_ = nullptr;
    bool printRequested_ = false;
};
