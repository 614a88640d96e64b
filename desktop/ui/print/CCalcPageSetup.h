// The page setup: the four margins in the user's measurement system, the
// header and footer items (group "Page"), the text font and the header and
// footer font, and the printer with its paper and orientation (the
// "Printer..." button opens Qt's page setup for those).
#pragma once

#include "desktop/ui/print/CalcPrintSettings.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QLocale;
class QPrinter;
class QPushButton;

class CCalcPageSetup final : public QDialog {
    Q_OBJECT

public:
    enum class Units { Metric, Inches };
    // Chooses a font starting from current; nothing when cancelled. The font
    // dialog unless a test answers.
    using FontChooser = std::function<std::optional<QFont>(const QFont& current, QWidget* parent)>;

    // Shows settings; printer is the printer whose queue, paper and
    // orientation the dialog changes.
    CCalcPageSetup(const CalcPrintSettings& settings, QPrinter& printer, Units units, QWidget* parent = nullptr);
    ~CCalcPageSetup() override;

    // The settings as the dialog holds them (what OK takes).
    CalcPrintSettings settings() const;

    void setFontChooser(FontChooser chooser) { chooseFont_ = std::move(chooser); }
    // The "Select..." buttons.
    void selectTextFont();
    void selectServiceFont();

    // Metric for a metric locale, else inches.
    static Units UnitsOf(const QLocale& locale);
    // A margin (0.0001 mm) as the dialog shows it: hundredths of a millimetre,
    // (margin + 50) / 100, or thousandths of an inch, (margin + 127) / 254.
    static int MarginInDialog(std::int64_t margin, Units units);
    // And back: the dialog value times 100 or times 254.
    static std::int64_t MarginFromDialog(int value, Units units);
    // The size in points of a font the font dialog returned.
    static int PointSizeOf(const QFont& font, int screenDpi);

private:
    struct FontGroup {
        CalcPrintFont Font;
        CalcPrintFont Default;
        QLineEdit* Description = nullptr;
        QCheckBox* DefaultBox = nullptr;
    };

    QWidget* createPrinterGroup();
    QWidget* createMarginsGroup();
    QWidget* createPageGroup();
    QWidget* createFontGroup(const QString& title, const QString& name, const QString& selectCaption,
                             const QString& defaultCaption, FontGroup& group);
    void showFont(FontGroup& group);
    void selectFont(FontGroup& group);
    void updateNumberChoices();
    void choosePrinter(int index);
    void openPrinterPage();
    void showPaper();

    CalcPrintSettings settings_;
    QPrinter& printer_;
    Units units_;
    FontChooser chooseFont_;
    std::array<QDoubleSpinBox*, 4> margins_{};
    std::array<QCheckBox*, 4> items_{};
    QComboBox* numberFormat_ = nullptr;
    QComboBox* position_ = nullptr;
    QComboBox* printers_ = nullptr;
    QLabel* paper_ = nullptr;
    FontGroup textFont_;
    FontGroup serviceFont_;
};
