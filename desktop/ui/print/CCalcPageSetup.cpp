#include "desktop/ui/print/CCalcPageSetup.h"

#include "desktop/services/CalcHelpTopics.h"
#include "desktop/ui/editor/CCalcFontDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using namespace CalcPrintItems;

// The dialog shows margins in these units, up to a metre.
constexpr int MaximumMetricMargin = 100000;  // hundredths of a millimetre
constexpr int MaximumInchMargin = 39370;     // thousandths of an inch

struct MarginControl {
    const char* Name;
    const char* Caption;
    std::int64_t CalcPrintSettings::*Field;
};

constexpr MarginControl MarginControls[] = {
    {"MarginLeft", "&Left:", &CalcPrintSettings::MarginLeft},
    {"MarginTop", "&Top:", &CalcPrintSettings::MarginTop},
    {"MarginRight", "&Right:", &CalcPrintSettings::MarginRight},
    {"MarginBottom", "&Bottom:", &CalcPrintSettings::MarginBottom},
};

struct ItemControl {
    const char* Name;
    const char* Caption;
    std::uint32_t Bit;
};

constexpr ItemControl ItemControls[] = {
    {"FileInfo", "&File info", FileInfo},
    {"Date", "&Date", Date},
    {"Time", "T&ime", Time},
    {"Number", "&Number", Number},
};

// The "Number" box, which enables the two choices.
constexpr std::size_t NumberBox = 3;
static_assert(ItemControls[NumberBox].Bit == Number, "the number box is the page number's");

constexpr const char* NumberFormats[] = {"n", "- n -", "n of N"};
constexpr const char* NumberPositions[] = {"Header center", "Header right", "Footer center", "Footer right"};

QString Caption(const char* text)
{
    return QString::fromUtf8(text);
}

// The caption without its "&" and ":", as assistive technology reads it.
QString AccessibleCaption(const char* text)
{
    return Caption(text).remove(u'&').remove(u':');
}

QFont QtFontOf(const CalcPrintFont& font)
{
    QFont result(font.Face);
    result.setPointSize(font.Size);
    result.setWeight(static_cast<QFont::Weight>(std::clamp(font.Weight, 1, 1000)));
    result.setItalic(font.Italic);
    return result;
}

std::optional<QFont> RunFontDialog(const QFont& current, QWidget* parent)
{
    CCalcFontDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

int ScreenDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

}  // namespace

CCalcPageSetup::Units CCalcPageSetup::UnitsOf(const QLocale& locale)
{
    return locale.measurementSystem() == QLocale::MetricSystem ? Units::Metric : Units::Inches;
}

int CCalcPageSetup::MarginInDialog(std::int64_t margin, Units units)
{
    return static_cast<int>(units == Units::Metric ? (margin + 50) / 100 : (margin + 127) / 254);
}

std::int64_t CCalcPageSetup::MarginFromDialog(int value, Units units)
{
    return static_cast<std::int64_t>(value) * (units == Units::Metric ? 100 : 254);
}

int CCalcPageSetup::PointSizeOf(const QFont& font, int screenDpi)
{
    if (font.pointSizeF() > 0)
        return std::max(1, static_cast<int>(std::lround(font.pointSizeF())));
    return std::max(1, static_cast<int>(std::lround(font.pixelSize() * 72.0 / std::max(screenDpi, 1))));
}

CCalcPageSetup::CCalcPageSetup(const CalcPrintSettings& settings, QPrinter& printer, Units units, QWidget* parent)
    : QDialog(parent), settings_(settings), printer_(printer), units_(units), chooseFont_(RunFontDialog)
{
    setWindowTitle(QStringLiteral("Page Setup"));
    CalcHelp::setTopic(this, CalcHelp::PageSetupTopic);
    setWindowIcon(QApplication::windowIcon());
    textFont_.Font = settings.TextFont;
    textFont_.Default = CalcPrintSettings::DefaultTextFont();
    serviceFont_.Font = settings.ServiceFont;
    serviceFont_.Default = CalcPrintSettings::DefaultServiceFont();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(createPrinterGroup());
    auto* middle = new QHBoxLayout;
    middle->addWidget(createMarginsGroup());
    middle->addWidget(createPageGroup());
    layout->addLayout(middle);
    // Each control of the dialog has a mnemonic of its own.
    layout->addWidget(createFontGroup(QStringLiteral("Text font"), QStringLiteral("TextFont"),
                                      QStringLiteral("S&elect..."), QStringLiteral("Def&ault"), textFont_));
    layout->addWidget(createFontGroup(QStringLiteral("Header/footer font"), QStringLiteral("ServiceFont"),
                                      QStringLiteral("Sele&ct..."), QStringLiteral("Defa&ult"), serviceFont_));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CCalcPageSetup::~CCalcPageSetup() = default;

QWidget* CCalcPageSetup::createPrinterGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Printer"), this);
    auto* layout = new QGridLayout(group);
    printers_ = new QComboBox(group);
    printers_->setObjectName(QStringLiteral("Printer"));
    printers_->setAccessibleName(QStringLiteral("Name"));
    const QStringList queues = QPrinterInfo::availablePrinterNames();
    printers_->addItems(queues);
    const bool toQueue = printer_.outputFormat() == QPrinter::NativeFormat && !queues.isEmpty();
    printers_->setEnabled(toQueue);
    if (toQueue)
        printers_->setCurrentIndex(static_cast<int>(std::max<qsizetype>(0, queues.indexOf(printer_.printerName()))));
    else
        printers_->setPlaceholderText(queues.isEmpty() ? QStringLiteral("No printer is installed")
                                                       : QStringLiteral("Print to file"));
    connect(printers_, &QComboBox::currentIndexChanged, this, &CCalcPageSetup::choosePrinter);
    auto* name = new QLabel(QStringLiteral("Name:"), group);
    name->setBuddy(printers_);

    paper_ = new QLabel(group);
    paper_->setObjectName(QStringLiteral("Paper"));
    auto* paperLabel = new QLabel(QStringLiteral("Paper:"), group);
    auto* setup = new QPushButton(QStringLiteral("&Printer..."), group);
    setup->setObjectName(QStringLiteral("PrinterSetup"));
    setup->setAutoDefault(false);
    connect(setup, &QPushButton::clicked, this, &CCalcPageSetup::openPrinterPage);

    layout->addWidget(name, 0, 0);
    layout->addWidget(printers_, 0, 1);
    layout->addWidget(setup, 0, 2);
    layout->addWidget(paperLabel, 1, 0);
    layout->addWidget(paper_, 1, 1, 1, 2);
    layout->setColumnStretch(1, 1);
    showPaper();
    return group;
}

QWidget* CCalcPageSetup::createMarginsGroup()
{
    const bool metric = units_ == Units::Metric;
    auto* group =
        new QGroupBox(metric ? QStringLiteral("Margins (millimeters)") : QStringLiteral("Margins (inches)"), this);
    auto* layout = new QFormLayout(group);
    for (std::size_t i = 0; i < std::size(MarginControls); ++i) {
        const MarginControl& control = MarginControls[i];
        auto* box = new QDoubleSpinBox(group);
        box->setObjectName(QLatin1String(control.Name));
        box->setAccessibleName(AccessibleCaption(control.Caption));
        box->setDecimals(metric ? 2 : 3);
        box->setSingleStep(metric ? 1.0 : 0.1);
        box->setRange(0, (metric ? MaximumMetricMargin : MaximumInchMargin) / (metric ? 100.0 : 1000.0));
        box->setValue(MarginInDialog(settings_.*control.Field, units_) / (metric ? 100.0 : 1000.0));
        layout->addRow(Caption(control.Caption), box);
        margins_[i] = box;
    }
    return group;
}

QWidget* CCalcPageSetup::createPageGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Page"), this);
    auto* layout = new QGridLayout(group);
    for (std::size_t i = 0; i < std::size(ItemControls); ++i) {
        const ItemControl& control = ItemControls[i];
        auto* box = new QCheckBox(Caption(control.Caption), group);
        box->setObjectName(QLatin1String(control.Name));
        box->setAccessibleName(AccessibleCaption(control.Caption));
        box->setChecked((settings_.Items & control.Bit) != 0);
        layout->addWidget(box, static_cast<int>(i / 2), static_cast<int>(i % 2));
        items_[i] = box;
    }

    const auto addChoice = [&](const char* name, const char* caption, const auto& entries, int index, int row) {
        auto* combo = new QComboBox(group);
        combo->setObjectName(QLatin1String(name));
        combo->setAccessibleName(AccessibleCaption(caption));
        for (const char* entry : entries)
            combo->addItem(QLatin1String(entry));
        combo->setCurrentIndex(index);
        auto* label = new QLabel(Caption(caption), group);
        label->setBuddy(combo);
        layout->addWidget(label, row, 0);
        layout->addWidget(combo, row, 1);
        return combo;
    };
    numberFormat_ =
        addChoice("NumberFormat", "Number f&ormat:", NumberFormats, static_cast<int>(FormatOf(settings_.Items)), 2);
    position_ = addChoice("Position", "Po&sition:", NumberPositions, static_cast<int>(PositionOf(settings_.Items)), 3);
    connect(items_[NumberBox], &QCheckBox::toggled, this, &CCalcPageSetup::updateNumberChoices);
    updateNumberChoices();
    return group;
}

QWidget* CCalcPageSetup::createFontGroup(const QString& title, const QString& name, const QString& selectCaption,
                                         const QString& defaultCaption, FontGroup& group)
{
    auto* box = new QGroupBox(title, this);
    auto* layout = new QHBoxLayout(box);
    group.Description = new QLineEdit(box);
    group.Description->setObjectName(name + QStringLiteral("Description"));
    group.Description->setAccessibleName(title);
    group.Description->setReadOnly(true);
    auto* select = new QPushButton(selectCaption, box);
    select->setAutoDefault(false);
    select->setObjectName(name + QStringLiteral("Select"));
    select->setAccessibleName(QString(selectCaption).remove(u'&'));
    group.DefaultBox = new QCheckBox(defaultCaption, box);
    group.DefaultBox->setObjectName(name + QStringLiteral("Default"));
    group.DefaultBox->setAccessibleName(QString(defaultCaption).remove(u'&'));
    layout->addWidget(group.Description, 1);
    layout->addWidget(select);
    layout->addWidget(group.DefaultBox);
    connect(select, &QPushButton::clicked, this, [this, &group] { selectFont(group); });
    // Ticking resets the font; unticking changes nothing.
    connect(group.DefaultBox, &QCheckBox::toggled, this, [this, &group](bool ticked) {
        if (ticked && group.Font != group.Default) {
            group.Font = group.Default;
            showFont(group);
        }
    });
    showFont(group);
    return box;
}

void CCalcPageSetup::showFont(FontGroup& group)
{
    group.Description->setText(DescribeFont(group.Font));
    const QSignalBlocker quiet(group.DefaultBox);
    group.DefaultBox->setChecked(group.Font == group.Default);
}

void CCalcPageSetup::selectTextFont()
{
    selectFont(textFont_);
}

void CCalcPageSetup::selectServiceFont()
{
    selectFont(serviceFont_);
}

void CCalcPageSetup::selectFont(FontGroup& group)
{
    const QFont current = QtFontOf(group.Font);
    const std::optional<QFont> chosen = chooseFont_(current, this);
    if (!chosen)
        return;
    QString face = chosen->family();
    // The dialog lists installed faces only: a face the system substitutes
    // comes back under the substitute's name. Keep the name the user had.
    if (face != group.Font.Face && face == QFontInfo(current).family())
        face = group.Font.Face;
    group.Font =
        CalcPrintFont{face, PointSizeOf(*chosen, ScreenDpi()), static_cast<int>(chosen->weight()), chosen->italic()};
    showFont(group);
}

void CCalcPageSetup::updateNumberChoices()
{
    const bool number = items_[NumberBox]->isChecked();
    numberFormat_->setEnabled(number);
    position_->setEnabled(number);
}

void CCalcPageSetup::choosePrinter(int index)
{
    if (index < 0)
        return;
    printer_.setPrinterName(printers_->itemText(index));
    showPaper();
}

void CCalcPageSetup::openPrinterPage()
{
    QPageSetupDialog dialog(&printer_, this);
    dialog.setWindowIcon(QApplication::windowIcon());
    // The margins are this dialog's own; Qt's would have no effect.
    if (auto* margin = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("topMargin")))
        margin->parentWidget()->hide();
    dialog.exec();
    printer_.setFullPage(true);
    showPaper();
}

void CCalcPageSetup::showPaper()
{
    const QPageLayout layout = printer_.pageLayout();
    paper_->setText(layout.pageSize().name() +
                    (layout.orientation() == QPageLayout::Landscape ? QStringLiteral(", landscape")
                                                                    : QStringLiteral(", portrait")));
}

CalcPrintSettings CCalcPageSetup::settings() const
{
    CalcPrintSettings result = settings_;
    const double scale = units_ == Units::Metric ? 100.0 : 1000.0;
    for (std::size_t i = 0; i < std::size(MarginControls); ++i) {
        const int value = static_cast<int>(std::lround(margins_[i]->value() * scale));
        result.*MarginControls[i].Field = MarginFromDialog(value, units_);
    }
    result.Items = Compose(false, false, false, false, static_cast<NumberFormat>(numberFormat_->currentIndex()),
                           static_cast<NumberPosition>(position_->currentIndex()));
    for (std::size_t i = 0; i < std::size(ItemControls); ++i) {
        if (items_[i]->isChecked())
            result.Items |= ItemControls[i].Bit;
    }
    result.TextFont = textFont_.Font;
    result.ServiceFont = serviceFont_.Font;
    return result;
}
