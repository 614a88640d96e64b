#include "desktop/ui/editor/CCalcHighlighter.h"

#include <QEvent>
#include <QPalette>

#include "desktop/services/PaletteColors.h"
#include "desktop/ui/editor/CCalcView.h"

namespace {

using NCalculatorText::TokenKind;

// The colours of the kinds, for a light and for a dark background.
struct KindColors {
    TokenKind Kind;
    QRgb Light;
    QRgb Dark;
};

constexpr KindColors Colors[] = {
    {TokenKind::Number, qRgb(0x0b, 0x5c, 0xad), qRgb(0x79, 0xc0, 0xff)},
    {TokenKind::Function, qRgb(0x80, 0x2d, 0xb0), qRgb(0xd2, 0xa8, 0xff)},
    {TokenKind::Keyword, qRgb(0x00, 0x7a, 0x7a), qRgb(0x56, 0xd4, 0xdd)},
    {TokenKind::MemoryName, qRgb(0x9a, 0x52, 0x00), qRgb(0xf0, 0xb7, 0x2f)},
    {TokenKind::Operator, qRgb(0xb0, 0x30, 0x30), qRgb(0xff, 0x9b, 0x8e)},
    {TokenKind::Comment, qRgb(0x3c, 0x7d, 0x22), qRgb(0x8b, 0xc3, 0x4a)},
    {TokenKind::Result, qRgb(0x70, 0x70, 0x70), qRgb(0xa8, 0xa8, 0xa8)},
};

bool IsDark(const QPalette& palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

}  // namespace

CCalcHighlighter::CCalcHighlighter(CCalcView* view) : QObject(view), view_(view)
{
    connect(view_->document(), &CCalcTextStore::contentsChange, this, [this](int position, int removed, int added) {
        index_.textChanged(IndexOf(position), IndexOf(removed), IndexOf(added));
        // The pair is found again once the index knows the edit.
        markBrackets();
    });
    connect(view_, &CCalcView::cursorPositionChanged, this, &CCalcHighlighter::markBrackets);
    view_->installEventFilter(this);
}

CCalcHighlighter::~CCalcHighlighter() = default;

void CCalcHighlighter::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (enabled)
        view_->setLineFormatter([this](int start, int end) { return formatsFor(start, end); });
    else
        view_->setLineFormatter({});
    markBrackets();
}

QColor CCalcHighlighter::ColorOf(TokenKind kind, const QPalette& palette)
{
    for (const KindColors& colors : Colors) {
        // Each kind has a shade for light and one for dark bases; on a base
        // between the two it is moved until the text reads.
        if (colors.Kind == kind)
            return Tevra::ReadableOn(QColor(IsDark(palette) ? colors.Dark : colors.Light),
                                     palette.color(QPalette::Base), Tevra::TextContrast);
    }
    return {};  // names, brackets and separators keep the text's colour
}

QList<QTextLayout::FormatRange> CCalcHighlighter::formatsFor(int start, int end)
{
    QList<QTextLayout::FormatRange> formats;
    const QString& text = view_->text();
    const std::u16string_view whole = Tevra::ToU16View(text);
    const std::size_t from = IndexOf(start);
    const std::size_t to = IndexOf(std::max(start, end));
    const QPalette& palette = view_->palette();
    for (const NCalculatorText::TextToken& token : index_.tokens(whole, from, to)) {
        const QColor color = ColorOf(token.Kind, palette);
        if (!color.isValid())
            continue;
        const std::size_t first = std::max(token.Start, from);
        const std::size_t last = std::min(token.End(), to);
        if (last <= first)
            continue;
        QTextLayout::FormatRange range;
        range.start = PositionOf(first - from);
        range.length = PositionOf(last - first);
        range.format.setForeground(color);
        formats.append(range);
    }
    return formats;
}

void CCalcHighlighter::markBrackets()
{
    std::vector<CCalcView::TextMark> marks;
    if (enabled_ && !view_->hasSelection()) {
        const auto pair =
            NCalculatorText::MatchingBracket(Tevra::ToU16View(view_->text()), IndexOf(view_->position()), index_);
        if (pair) {
            marks.push_back({PositionOf(pair->At), 1, CCalcView::MarkStyle::Highlight});
            marks.push_back({PositionOf(pair->Partner), 1, CCalcView::MarkStyle::Highlight});
        }
    }
    view_->setMarks(CCalcView::MarkLayer::Brackets, std::move(marks));
}

bool CCalcHighlighter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_ && event->type() == QEvent::PaletteChange && enabled_)
        view_->refreshLineFormats();
    return QObject::eventFilter(watched, event);
}
