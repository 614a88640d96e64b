#include "desktop/ui/print/CCalcPrintPreview.h"

#include "desktop/services/CalcHelpTopics.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

CCalcPrintPreview::CCalcPrintPreview(QPrinter& printer, std::function<void(QPrinter&)> paint, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Print Preview"));
    CalcHelp::setTopic(this, CalcHelp::PreviewTopic);
    setWindowIcon(QApplication::windowIcon());
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    preview_ = new QPrintPreviewWidget(&printer, this);
    preview_->setObjectName(QStringLiteral("PreviewPages"));
    preview_->setAccessibleName(QStringLiteral("Pages"));
    connect(preview_, &QPrintPreviewWidget::paintRequested, this,
            [paint = std::move(paint)](QPrinter* target) { paint(*target); });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, &CCalcPrintPreview::updatePageText);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    struct Button {
        const char* Name;
        const char* Caption;
        QKeySequence Key;
        std::function<void()> Run;
    };
    const Button buttons[] = {
        {"PreviewPrint", "&Print...", QKeySequence::Print,
         [this] {
             printRequested_ = true;
             accept();
         }},
        {"PreviewNext", "&Next Page", QKeySequence(Qt::Key_PageDown), [this] { showNextPage(); }},
        {"PreviewPrevious", "Pre&v Page", QKeySequence(Qt::Key_PageUp), [this] { showPreviousPage(); }},
        {"PreviewOnePage", "&One Page", QKeySequence(), [this] { preview_->setSinglePageViewMode(); }},
        {"PreviewTwoPages", "&Two Pages", QKeySequence(), [this] { preview_->setFacingPagesViewMode(); }},
        {"PreviewZoomIn", "Zoom &In", QKeySequence::ZoomIn, [this] { preview_->zoomIn(); }},
        {"PreviewZoomOut", "Zoom &Out", QKeySequence::ZoomOut, [this] { preview_->zoomOut(); }},
        {"PreviewClose", "&Close", QKeySequence(), [this] { reject(); }},
    };
    for (const Button& button : buttons) {
        QAction* action = bar->addAction(QString::fromUtf8(button.Caption));
        action->setObjectName(QLatin1String(button.Name));
        action->setShortcut(button.Key);
        connect(action, &QAction::triggered, this, button.Run);
    }
    pageText_ = new QLabel(this);
    pageText_->setObjectName(QStringLiteral("PreviewPageText"));
    bar->addSeparator();
    bar->addWidget(pageText_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(preview_, 1);
    // A whole page at a time, in most of the screen.
    QSize size(900, 1100);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    resize(size);
    preview_->setSinglePageViewMode();
    preview_->fitInView();
    // Scrolling moves from page to page too: the page text follows.
    for (QScrollBar* scroll : preview_->findChildren<QScrollBar*>())
        connect(scroll, &QScrollBar::valueChanged, this, &CCalcPrintPreview::updatePageText);
}

void CCalcPrintPreview::showNextPage()
{
    preview_->setCurrentPage(preview_->currentPage() + 1);
    updatePageText();
}

void CCalcPrintPreview::showPreviousPage()
{
    preview_->setCurrentPage(preview_->currentPage() - 1);
    updatePageText();
}

void CCalcPrintPreview::updatePageText()
{
    pageText_->setText(QStringLiteral("Page %1 of %2").arg(preview_->currentPage()).arg(preview_->pageCount()));
    pageText_->setAccessibleName(pageText_->text());
}
