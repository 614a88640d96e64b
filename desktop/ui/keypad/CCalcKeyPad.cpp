#include "desktop/ui/keypad/CCalcKeyPad.h"

#include "desktop/services/CCalcHelpRequests.h"
#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/services/QtText.h"
#include "desktop/ui/keypad/CCalcKeyPadPrompts.h"
#include "desktop/ui/keypad/CColorButton.h"
#include "core/engine/EngineState.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

bool IsHelpKey(const QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_F1 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

void SetCaption(CColorButton* button, const QString& caption)
{
    button->setText(caption);
    button->setAccessibleName(caption);
}

}  // namespace

CCalcKeyPad::CCalcKeyPad(QWidget* parent)
    : QWidget(parent), dialogs_(std::make_unique<CCalcKeyPadDialogs>(this)), prompts_(dialogs_.get())
{
    setObjectName(QStringLiteral("Keypad"));
    setAccessibleName(QStringLiteral("Keypad"));
    createButtons();
    loadAppearance();
    refreshDescriptions();
    // F1 with the pointer over a button asks for that button's topic, even
    // while the editor keeps the keyboard focus (a click on a button leaves
    // the focus where it was).
    qApp->installEventFilter(this);
}

CCalcKeyPad::~CCalcKeyPad()
{
    qApp->removeEventFilter(this);
    saveSettings();
}

void CCalcKeyPad::createButtons()
{
    const auto table = Keypad::Buttons();
    buttons_.reserve(table.size());
    for (const Keypad::Button& entry : table) {
        auto* created = new CColorButton(entry.Id, this);
        // The panel's template shows the East names in lower case; the
        // signs (×, ÷, π, ∑, ∏) and the decimal point replace their
        // template captions at once.
        SetCaption(created, Tevra::ToQString(Keypad::Caption(entry, applied_)));
        connect(created, &QAbstractButton::clicked, this, [this, &entry] { press(entry); });
        connect(created, &CColorButton::helpRequested, this, &CCalcKeyPad::showHelp);
        buttons_.push_back(created);
    }
}

CColorButton* CCalcKeyPad::button(int id) const
{
    const auto index = Keypad::ButtonIndex(id);
    return index ? buttons_[static_cast<std::size_t>(*index)] : nullptr;
}

void CCalcKeyPad::SetReceiver(ICmdReceiver* receiver)
{
    receiver_ = receiver;
}

void CCalcKeyPad::followSettings(CCalcSettingsNotifier& notifier)
{
    notifier_ = &notifier;
    connect(&notifier, &CCalcSettingsNotifier::settingsChanged, this, &CCalcKeyPad::refreshCaptions);
    refreshCaptions();
}

void CCalcKeyPad::setHelpRequests(CCalcHelpRequests* help)
{
    help_ = help;
}

void CCalcKeyPad::setPrompts(ICalcKeyPadPrompts* prompts)
{
    prompts_ = prompts ? prompts : dialogs_.get();
}

ICalcKeyPadPrompts& CCalcKeyPad::prompts()
{
    return *prompts_;
}

const Tevra::CCalcSettings& CCalcKeyPad::settings() const
{
    return notifier_ ? notifier_->record() : NCalculatorText::State().CalcSettings;
}

void CCalcKeyPad::press(const Keypad::Button& entry)
{
    if (!receiver_)
        return;
    const Keypad::Press press = Keypad::WhatItSends(entry, settings(), applied_.Notation);
    if (press.Command)
        receiver_->Command(*press.Command);
    else
        receiver_->InsertText(press.Text);
}

void CCalcKeyPad::showHelp(int id)
{
    if (help_)
        help_->showContext(Keypad::HelpContext(id));
}

void CCalcKeyPad::refreshCaptions()
{
    const Keypad::CaptionState wanted = Keypad::CaptionStateOf(settings());
    if (wanted.Notation != applied_.Notation || wanted.Upper != applied_.Upper) {
        applied_.Notation = wanted.Notation;
        applied_.Upper = wanted.Upper;
        for (const Keypad::FunctionName& row : Keypad::FunctionNames()) {
            const Keypad::Button* entry = Keypad::FindButton(row.ButtonId);
            SetCaption(button(row.ButtonId), Tevra::ToQString(Keypad::Caption(*entry, applied_)));
        }
        // The widths of the captions changed.
        layOutButtons();
    }
    if (wanted.Gamma != applied_.Gamma) {
        applied_.Gamma = wanted.Gamma;
        const auto table = Keypad::Buttons();
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i].Kind == Keypad::Sends::Factorial)
                SetCaption(buttons_[i], Tevra::ToQString(Keypad::Caption(table[i], applied_)));
        }
        update();
    }
    refreshDescriptions();
}

void CCalcKeyPad::refreshDescriptions()
{
    const auto table = Keypad::Buttons();
    for (std::size_t i = 0; i < table.size(); ++i) {
        buttons_[i]->setAccessibleDescription(
            Tevra::ToQString(Keypad::CurrentDescription(table[i], settings(), applied_.Notation)));
    }
}

void CCalcKeyPad::layOutButtons()
{
    const auto measure = [this](const QFont& font, int dpi) {
        const QFontMetrics metrics(font);
        Keypad::LayoutMeasures measures = Keypad::Gaps(dpi);
        measures.TemplateWidth =
            metrics.horizontalAdvance(Tevra::ToQString(Keypad::TemplateText(applied_.Notation, applied_.Upper)));
        measures.TemplateHeight = metrics.height();
        measures.CommentWidth = metrics.horizontalAdvance(QStringLiteral("*/"));
        return Keypad::LayOut(measures);
    };
    whole_ = measure(font_, dpi()).Panel;
    if (!room_.isEmpty())
        scale_ = Keypad::FitScale(whole_, room_, pointSize());
    QFont shown = font_;
    if (scale_ < 1.0) {
        if (font_.pointSizeF() > 0)
            shown.setPointSizeF(font_.pointSizeF() * scale_);
        else if (font_.pixelSize() > 0)
            shown.setPixelSize(std::max(1, static_cast<int>(font_.pixelSize() * scale_)));
    }
    layout_ = scale_ < 1.0 ? measure(shown, static_cast<int>(dpi() * scale_)) : measure(font_, dpi());
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->setFont(shown);
        buttons_[i]->setGeometry(layout_.Buttons[i]);
    }
    setFixedSize(layout_.Panel);
    updateGeometry();
    emit relaidOut();
}

void CCalcKeyPad::fitInto(QSize room)
{
    room_ = room;
    const double wanted = Keypad::FitScale(whole_, room, pointSize());
    // Steps too small to see are not worth a new layout.
    if (std::abs(wanted - scale_) >= 0.01 || (wanted == 1.0 && scale_ != 1.0))
        layOutButtons();
}

double CCalcKeyPad::pointSize() const
{
    if (font_.pointSizeF() > 0)
        return font_.pointSizeF();
    return font_.pixelSize() > 0 ? font_.pixelSize() * 72.0 / dpi() : 0.0;
}

QSize CCalcKeyPad::sizeHint() const
{
    return whole_;
}

int CCalcKeyPad::dpi() const
{
    const int logical = logicalDpiY();
    return logical > 0 ? logical : 96;
}

bool CCalcKeyPad::event(QEvent* event)
{
    if (event->type() == QEvent::Show && fontFailed_) {
        // The stored font could not be used; the default stands in.
        fontFailed_ = false;
        QTimer::singleShot(0, this, [this] { prompts().fontFailed(); });
    }
    if (event->type() == QEvent::StyleChange) {
        // The theme came or went: the effective style may be another one.
        applyStyle();
        emit appearanceChanged();
    }
    return QWidget::event(event);
}

bool CCalcKeyPad::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsHelpKey(event) || !watched->isWidgetType() || QApplication::activeModalWidget())
        return false;
    // The key goes to the keypad's window, or to the frame it floats over.
    const QWidget* home = window();
    const QWidget* frame = home->parentWidget() ? home->parentWidget()->window() : home;
    const QWidget* target = static_cast<QWidget*>(watched)->window();
    if (target != home && target != frame)
        return false;
    for (CColorButton* candidate : buttons_) {
        if (candidate->isHovered()) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                showHelp(candidate->id());
            return true;
        }
    }
    return false;
}
