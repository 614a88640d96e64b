// Reading printed PDF files back, and answering the print dialogs in tests.
#pragma once

#include "desktop/ui/print/CCalcPrinting.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

// The text of each page of the PDF file at path, as pdftotext reads it (in
// reading order, one line per printed line). Fails the test when pdftotext
// cannot be run.
inline QStringList PdfPageTexts(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitStatus() != QProcess::NormalExit ||
        pdftotext.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext (poppler-utils) could not read " << path.toStdString() << ": "
                      << pdftotext.errorString().toStdString() << pdftotext.readAllStandardError().toStdString();
        return {};
    }
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    // The text ends with a form feed after the last page.
    if (!pages.isEmpty() && pages.constLast().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

class FakePrintPrompts final : public ICalcPrintPrompts {
public:
    bool choosePrinter(QPrinter& printer, bool selectionAvailable) override
    {
        offeredSelection.push_back(selectionAvailable);
        return onChoosePrinter ? onChoosePrinter(printer) : false;
    }
    QString choosePrintFile() override
    {
        ++printFileRequests;
        return printFile;
    }
    bool runPageSetup(CCalcPageSetup& dialog) override { return onPageSetup ? onPageSetup(dialog) : false; }
    void runPreview(CCalcPrintPreview& preview) override
    {
        if (onPreview)
            onPreview(preview);
    }
    void warn(const QString& message, const QString& detail) override
    {
        warnings.append(message);
        details.append(detail);
    }

    std::function<bool(QPrinter&)> onChoosePrinter;
    std::function<bool(CCalcPageSetup&)> onPageSetup;
    std::function<void(CCalcPrintPreview&)> onPreview;
    QString printFile;
    int printFileRequests = 0;
    std::vector<bool> offeredSelection;
    QStringList warnings;
    QStringList details;
};
