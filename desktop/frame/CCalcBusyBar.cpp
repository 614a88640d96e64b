#include "desktop/frame/CCalcBusyBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

const QString CalculatingText = QStringLiteral("Calculating\u2026");
const QString CancelText = QStringLiteral("Cancel");

}  // namespace

CCalcBusyBar::CCalcBusyBar(QWidget* parent)
    : QWidget(parent), label_(new QLabel(CalculatingText, this)), cancel_(new QPushButton(CancelText, this))
{
    setObjectName(QStringLiteral("CalculatingBar"));
    setAccessibleName(CalculatingText);
    cancel_->setAccessibleName(CancelText);
    cancel_->setToolTip(QStringLiteral("Stop the calculation (Esc)"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(label_);
    layout->addStretch(1);
    layout->addWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, &CCalcBusyBar::cancelRequested);
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(ShowAfterMilliseconds);
    connect(&showTimer_, &QTimer::timeout, this, &QWidget::show);
    hide();
}

void CCalcBusyBar::setCalculationRunning(bool running)
{
    if (running) {
        showTimer_.start();
        return;
    }
    showTimer_.stop();
    hide();
}
