#include "desktop/ui/print/CCalcPrintDialogs.h"

#include "desktop/services/CalcHelpTopics.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

const QString CCalcPrintDialog::ProposedFileName = QStringLiteral("Output.pdf");

CCalcPrintDialog::CCalcPrintDialog(QPrinter* printer, bool selectionAvailable, QWidget* parent)
    : QPrintDialog(printer, parent)
{
    CalcHelp::setTopic(this, CalcHelp::PrintTopic);
    setWindowIcon(QApplication::windowIcon());
    setOption(QAbstractPrintDialog::PrintToFile, true);
    setOption(QAbstractPrintDialog::PrintSelection, selectionAvailable);
    setOption(QAbstractPrintDialog::PrintPageRange, true);
    setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    setOption(QAbstractPrintDialog::PrintShowPageSize, true);
    setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    setPrintRange(QAbstractPrintDialog::AllPages);
    // Qt's dialog proposes a file named after the document, in the current
    // folder; the file name is Output.pdf, in the same folder.
    if (auto* file = findChild<QLineEdit*>(QStringLiteral("filename"))) {
        const QString proposed = file->text();
        const QString folder = proposed.isEmpty() ? QDir::currentPath()
            : proposed.endsWith(u'/')             ? proposed
                                                  : QFileInfo(proposed).absolutePath();
        file->setText(QDir(folder).filePath(ProposedFileName));
    }
}

CCalcPrintingDialog::CCalcPrintingDialog(const QString& document, const QString& printer, const QString& port,
                                         QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Printing"));
    setObjectName(QStringLiteral("Printing"));
    CalcHelp::setTopic(this, CalcHelp::PrintingTopic);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(size, size));
    layout->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);

    const auto addLine = [&](const QString& text, const QString& name, int row) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setAccessibleName(text);
        layout->addWidget(label, row, 1);
        return label;
    };
    addLine(document, QStringLiteral("Document"), 0);
    page_ = addLine(QString(), QStringLiteral("Page"), 1);
    addLine(printer, QStringLiteral("Printer"), 2);
    addLine(port, QStringLiteral("Port"), 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCalcPrintingDialog::cancel);
    layout->addWidget(buttons, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(320);
    setPage(1);
}

void CCalcPrintingDialog::setPage(int page)
{
    page_->setText(QStringLiteral("Page %1").arg(page));
    page_->setAccessibleName(page_->text());
}

QString CCalcPrintingDialog::pageText() const
{
    return page_->text();
}

void CCalcPrintingDialog::closeEvent(QCloseEvent* event)
{
    // Closing the window is Cancel; the job closes it when it ends.
    cancel();
    event->ignore();
}

void CCalcPrintingDialog::reject()
{
    cancel();
}
