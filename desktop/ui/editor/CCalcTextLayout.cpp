#include "desktop/ui/editor/CCalcTextLayout.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <utility>

#include "desktop/ui/editor/LineBreaks.h"

namespace {

// A change moves the places where a line may break only near itself: the
// flags of this many positions on either side are computed again, and as
// many more are read around them for context.
constexpr int FlagMargin = 64;
constexpr int FlagContext = 64;
// The most code units a line holds, whatever they are: a run of blanks or a
// character with thousands of accents still costs a bounded time to draw.
constexpr int MaximumLineLength = 4096;
// Shaped lines kept at most: a few screens.
constexpr std::size_t MaximumShapedLines = 512;

constexpr float UnknownWidth = -2;
constexpr float VariableWidth = -3;
// The width of a tab depends on where it stands.
constexpr float TabWidth = -1;
// Widths of characters made of several code units, or whose width depends
// on their neighbours, are measured once: this many at most are kept.
constexpr std::size_t MaximumMeasuredClusters = 1 << 16;

// True for a character whose width does not depend on its neighbours, so that
// a line of them is as wide as the sum of their widths.
bool HasFixedWidth(char16_t c)
{
    if (QChar::isSurrogate(c))
        return false;
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_NotAssigned:
        return false;
    default:
        break;
    }
    switch (QChar::direction(c)) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirAN:
    case QChar::DirNSM:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirPDF:
    case QChar::DirRLI:
    case QChar::DirLRI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return false;
    default:
        break;
    }
    // Conjoining Hangul jamo join into syllables.
    if ((c >= 0x1100 && c <= 0x11FF) || (c >= 0xA960 && c <= 0xA97F) || (c >= 0xD7B0 && c <= 0xD7FF))
        return false;
    switch (QChar::script(c)) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
    case QChar::Script_Armenian:
    case QChar::Script_Georgian:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
    case QChar::Script_Hangul:
        return true;
    default:
        return false;
    }
}

// Blanks and tabs at the end of a line may reach beyond the width: they
// never wrap.
bool IsHangingBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == 0x3000 || (c >= 0x2000 && c <= 0x200A && c != 0x2007);
}

// Punctuation that ends a word for the word moves, and the blanks between words.
bool IsWordSeparator(char16_t c)
{
    static constexpr std::u16string_view Separators = u".,?!@#$:;-<>[](){}=/+%&^*'\"`~|\\";
    return Separators.find(c) != std::u16string_view::npos;
}

enum class WordClass { Blank, Separator, Letter, LineBreak };

WordClass ClassOf(QChar c)
{
    if (c == u'\n')
        return WordClass::LineBreak;
    if (c.isSpace())
        return WordClass::Blank;
    return IsWordSeparator(c.unicode()) ? WordClass::Separator : WordClass::Letter;
}

QFont LayoutFont(QFont font)
{
    font.setKerning(false);
    font.setStyleStrategy(static_cast<QFont::StyleStrategy>(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

}  // namespace

CCalcTextLayout::CCalcTextLayout(const QString& text)
    : text_(text), font_(LayoutFont(QFont())), metrics_(font_), advances_(0x10000, UnknownWidth)
{
    setFont(QFont());
}

CCalcTextLayout::~CCalcTextLayout() = default;

void CCalcTextLayout::setFont(const QFont& font)
{
    font_ = LayoutFont(font);
    metrics_ = QFontMetricsF(font_);
    ascent_ = metrics_.ascent();
    lineHeight_ = std::max(1, static_cast<int>(std::ceil(metrics_.ascent() + metrics_.descent())));
    std::fill(advances_.begin(), advances_.end(), UnknownWidth);
    clusterWidths_.clear();
    relayout();
}

void CCalcTextLayout::setWidth(qreal width)
{
    width = std::max<qreal>(width, 1);
    if (width == width_)
        return;
    width_ = width;
    breakAllLines();
}

void CCalcTextLayout::relayout()
{
    flags_.assign(text_.size() + 1, 0);
    widths_.assign(text_.size(), 0);
    computeFlags(0, static_cast<int>(flags_.size()));
    breakAllLines();
}

void CCalcTextLayout::breakAllLines()
{
    shaped_.clear();
    lineStarts_.clear();
    const int size = TextLength(text_);
    for (int start = 0;;) {
        lineStarts_.push_back(start);
        const int end = paragraphEnd(start);
        for (int next = start == end ? end : breakLine(start, end); next < end; next = breakLine(next, end))
            lineStarts_.push_back(next);
        if (end == size)
            break;
        start = end + 1;
    }
}

float CCalcTextLayout::advance(char16_t c) const
{
    float& width = advances_[c];
    if (width == UnknownWidth)
        width = HasFixedWidth(c) ? static_cast<float>(metrics_.horizontalAdvance(QChar(c))) : VariableWidth;
    return width;
}

float CCalcTextLayout::clusterWidth(int from, int to) const
{
    std::u16string cluster(reinterpret_cast<const char16_t*>(text_.constData()) + from,
                           static_cast<std::size_t>(to - from));
    if (const auto found = clusterWidths_.find(cluster); found != clusterWidths_.end())
        return found->second;
    if (clusterWidths_.size() >= MaximumMeasuredClusters)
        clusterWidths_.clear();
    const auto width = static_cast<float>(metrics_.horizontalAdvance(text_.mid(from, to - from)));
    clusterWidths_.emplace(std::move(cluster), width);
    return width;
}

int CCalcTextLayout::paragraphEnd(int from) const
{
    const qsizetype end = text_.indexOf(u'\n', from);
    return end < 0 ? TextLength(text_) : static_cast<int>(end);
}

QTextOption CCalcTextLayout::lineOption() const
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(TabStop);
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    return option;
}

int CCalcTextLayout::computeFlags(int from, int to)
{
    const int size = TextLength(text_);
    from = std::clamp(from, 0, size + 1);
    to = std::clamp(to, from, size + 1);
    if (from == to)
        return to;
    std::fill(flags_.begin() + from, flags_.begin() + to, 0);
    const int contextStart = std::max(0, from - FlagContext);
    const int contextEnd = std::min(size, to + FlagContext);
    const QChar* chars = text_.constData() + contextStart;
    const qsizetype length = contextEnd - contextStart;
    const auto mark = [&](QTextBoundaryFinder::BoundaryType type, std::uint8_t flag) {
        QTextBoundaryFinder finder(type, chars, length);
        for (qsizetype boundary = 0; boundary >= 0; boundary = finder.toNextBoundary()) {
            const qsizetype position = contextStart + boundary;
            if (position >= to)
                break;
            if (position >= from)
                flags_[static_cast<std::size_t>(position)] |= flag;
        }
    };
    mark(QTextBoundaryFinder::Grapheme, CursorBefore);
    const std::vector<bool> breaks = Tevra::LineBreakOpportunities(QStringView(chars, length));
    for (int position = std::max(from, contextStart); position < std::min(to, contextEnd + 1); ++position) {
        if (breaks[IndexOf(position - contextStart)])
            flags_[IndexOf(position)] |= LineBreakBefore;
    }
    if (from == 0)
        flags_[0] |= CursorBefore;
    if (to == size + 1)
        flags_[IndexOf(size)] |= CursorBefore;
    return computeWidths(from, to);
}

int CCalcTextLayout::computeWidths(int from, int to)
{
    const int size = TextLength(text_);
    from = std::clamp(from, 0, size);
    to = std::clamp(to, from, size);
    // Whole characters only: their widths go with their first code unit.
    while (from > 0 && !(flags_[IndexOf(from)] & CursorBefore))
        --from;
    while (to < size && !(flags_[IndexOf(to)] & CursorBefore))
        ++to;
    const QChar* chars = text_.constData();
    for (int i = from; i < to;) {
        int next = i + 1;
        while (next < size && !(flags_[IndexOf(next)] & CursorBefore))
            ++next;
        const char16_t c = chars[i].unicode();
        float width = TabWidth;
        if (c != u'\t') {
            const float fixed = next == i + 1 ? advance(c) : VariableWidth;
            width = fixed >= 0 ? fixed : clusterWidth(i, next);
        }
        widths_[IndexOf(i)] = width;
        std::fill(widths_.begin() + i + 1, widths_.begin() + next, 0.0f);
        i = next;
    }
    return to;
}

void CCalcTextLayout::textChanged(int position, int removed, int added)
{
    const int size = TextLength(text_);
    if (static_cast<qsizetype>(flags_.size()) != static_cast<qsizetype>(size) - added + removed + 1 || position < 0 ||
        removed < 0 || added < 0 || position + added > size) {
        relayout();  // not a change of the text laid out: start afresh
        return;
    }
    shaped_.clear();
    if (removed == 0 && added == 0)
        return;
    flags_.erase(flags_.begin() + position, flags_.begin() + position + removed);
    flags_.insert(flags_.begin() + position, static_cast<std::size_t>(added), 0);
    widths_.erase(widths_.begin() + position, widths_.begin() + position + removed);
    widths_.insert(widths_.begin() + position, static_cast<std::size_t>(added), 0.0f);
    const int flagsFrom = std::max(0, position - FlagMargin);
    // Everything from flagsFrom to changedTo may lay out differently now.
    const int changedTo = computeFlags(flagsFrom, std::min(size + 1, position + added + FlagMargin + 1));

    // Lines starting before the first changed flag keep their start; the one
    // before the line holding it may end differently now.
    const auto firstChanged = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), flagsFrom);
    std::size_t first = static_cast<std::size_t>(firstChanged - lineStarts_.begin()) - 1;
    if (first > 0)
        --first;
    // Old lines behind the change start at their old position plus delta.
    const int delta = added - removed;
    std::size_t old = static_cast<std::size_t>(
        std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position + removed) - lineStarts_.begin());

    std::vector<int> fresh;
    int start = lineStarts_[first];
    int end = -1;
    for (;;) {
        fresh.push_back(start);
        if (start > end)
            end = paragraphEnd(start);
        int next = start == end ? end : breakLine(start, end);
        if (next == end) {
            if (end == size)
                break;
            next = end + 1;
        }
        start = next;
        // Behind the change, a line that starts where an old one did is
        // followed by the old lines.
        if (start >= changedTo) {
            while (old < lineStarts_.size() && lineStarts_[old] + delta < start)
                ++old;
            if (old < lineStarts_.size() && lineStarts_[old] + delta == start) {
                for (std::size_t i = old; i < lineStarts_.size(); ++i)
                    lineStarts_[i] += delta;
                lineStarts_.erase(lineStarts_.begin() + static_cast<std::ptrdiff_t>(first),
                                  lineStarts_.begin() + static_cast<std::ptrdiff_t>(old));
                lineStarts_.insert(lineStarts_.begin() + static_cast<std::ptrdiff_t>(first), fresh.begin(),
                                   fresh.end());
                return;
            }
        }
    }
    lineStarts_.resize(first);
    lineStarts_.insert(lineStarts_.end(), fresh.begin(), fresh.end());
}

int CCalcTextLayout::breakLine(int start, int end) const
{
    const QChar* chars = text_.constData();
    const int limit = std::min(end, start + MaximumLineLength);
    qreal x = 0;
    int lastBreak = -1;
    for (int i = start; i < limit; ++i) {
        const std::uint8_t flags = flags_[IndexOf(i)];
        if (!(flags & CursorBefore))
            continue;  // inside a character: its width went with its first code unit
        if (i > start && (flags & LineBreakBefore))
            lastBreak = i;
        qreal width = widths_[IndexOf(i)];
        if (width < 0)
            width = (std::floor(x / TabStop) + 1) * TabStop - x;
        if (IsHangingBlank(chars[i].unicode())) {
            x += width;
            continue;
        }
        // Where no word may end, the line breaks after the last whole
        // character that fits; the first one always stays.
        if (x + width > width_ && i > start)
            return lastBreak > start ? lastBreak : i;
        x += width;
    }
    if (limit == end)
        return end;
    if (lastBreak > start)
        return lastBreak;
    int at = limit;
    while (at > start + 1 && !(flags_[IndexOf(at)] & CursorBefore))
        --at;
    return at > start + 1 ? at : limit;
}

int CCalcTextLayout::lineStart(int line) const
{
    return lineStarts_[static_cast<std::size_t>(std::clamp(line, 0, lineCount() - 1))];
}

int CCalcTextLayout::lineEnd(int line) const
{
    line = std::clamp(line, 0, lineCount() - 1);
    if (line + 1 == lineCount())
        return TextLength(text_);
    const int next = lineStarts_[static_cast<std::size_t>(line) + 1];
    return text_.at(next - 1) == u'\n' ? next - 1 : next;
}

int CCalcTextLayout::lineOf(int position) const
{
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position);
    return std::max(0, static_cast<int>(after - lineStarts_.begin()) - 1);
}

int CCalcTextLayout::nextCursorPosition(int position) const
{
    const int size = TextLength(text_);
    if (position >= size)
        return size;
    ++position;
    while (position < size && !(flags_[IndexOf(position)] & CursorBefore))
        ++position;
    return position;
}

int CCalcTextLayout::previousCursorPosition(int position) const
{
    if (position <= 0)
        return 0;
    position = std::min(position, TextLength(text_)) - 1;
    while (position > 0 && !(flags_[IndexOf(position)] & CursorBefore))
        --position;
    return position;
}

int CCalcTextLayout::nextWordPosition(int position) const
{
    const int size = TextLength(text_);
    if (position >= size)
        return size;
    const WordClass first = ClassOf(text_.at(position));
    if (first == WordClass::LineBreak)
        return position + 1;
    if (first != WordClass::Blank) {
        while (position < size && ClassOf(text_.at(position)) == first)
            ++position;
    }
    while (position < size && ClassOf(text_.at(position)) == WordClass::Blank)
        ++position;
    return position;
}

int CCalcTextLayout::previousWordPosition(int position) const
{
    position = std::min(position, TextLength(text_));
    if (position <= 0)
        return 0;
    if (ClassOf(text_.at(position - 1)) == WordClass::LineBreak)
        return position - 1;
    while (position > 0 && ClassOf(text_.at(position - 1)) == WordClass::Blank)
        --position;
    if (position == 0)
        return 0;
    const WordClass last = ClassOf(text_.at(position - 1));
    if (last == WordClass::LineBreak)
        return position;
    while (position > 0 && ClassOf(text_.at(position - 1)) == last)
        --position;
    return position;
}

CTextRange CCalcTextLayout::wordAt(CTextPosition position) const
{
    const int size = TextLength(text_);
    position = std::clamp(position, 0, size);
    // At the end of a word, the word before the position.
    if (position == size ||
        (ClassOf(text_.at(position)) != WordClass::Letter && position > 0 &&
         ClassOf(text_.at(position - 1)) == WordClass::Letter))
        --position;
    if (position < 0)
        return {0, 0};
    const WordClass kind = ClassOf(text_.at(position));
    if (kind == WordClass::LineBreak)
        return {position, position};
    int start = position;
    int end = position + 1;
    while (start > 0 && ClassOf(text_.at(start - 1)) == kind)
        --start;
    while (end < size && ClassOf(text_.at(end)) == kind)
        ++end;
    return {start, end};
}

void CCalcTextLayout::setPreedit(int position, const QString& text, const QList<QTextLayout::FormatRange>& formats)
{
    preeditPosition_ = text.isEmpty() ? -1 : position;
    preeditText_ = text;
    preeditFormats_ = formats;
    shaped_.clear();
}

void CCalcTextLayout::setFormatter(Formatter formatter)
{
    formatter_ = std::move(formatter);
    shaped_.clear();
}

QTextLayout& CCalcTextLayout::shapedLine(int line) const
{
    line = std::clamp(line, 0, lineCount() - 1);
    if (const auto found = shaped_.find(line); found != shaped_.end())
        return *found->second;
    if (shaped_.size() >= MaximumShapedLines)
        shaped_.clear();
    const int start = lineStart(line);
    const int end = lineEnd(line);
    auto layout = std::make_unique<QTextLayout>(text_.mid(start, end - start), font_);
    layout->setTextOption(lineOption());
    if (preeditPosition_ >= start && preeditPosition_ <= end && lineOf(preeditPosition_) == line) {
        layout->setPreeditArea(preeditPosition_ - start, preeditText_);
        layout->setFormats(preeditFormats_);
    } else if (formatter_) {
        layout->setFormats(formatter_(start, end));
    }
    layout->beginLayout();
    QTextLine shaped = layout->createLine();
    if (shaped.isValid()) {
        shaped.setLineWidth(width_);
        shaped.setPosition(QPointF(0, ascent_ - shaped.ascent()));
    }
    layout->endLayout();
    return *shaped_.emplace(line, std::move(layout)).first->second;
}

qreal CCalcTextLayout::xOf(int position) const
{
    return xOf(position, lineOf(position));
}

qreal CCalcTextLayout::xOf(int position, int line) const
{
    const QTextLine shaped = shapedLine(line).lineAt(0);
    const int offset = std::clamp(position - lineStart(line), 0, lineEnd(line) - lineStart(line));
    return shaped.isValid() ? shaped.cursorToX(offset) : 0;
}

int CCalcTextLayout::positionAt(int line, qreal x) const
{
    return hitTest(line, x, QTextLine::CursorBetweenCharacters);
}

int CCalcTextLayout::characterAt(int line, qreal x) const
{
    return hitTest(line, x, QTextLine::CursorOnCharacter);
}

int CCalcTextLayout::hitTest(int line, qreal x, QTextLine::CursorPosition mode) const
{
    line = std::clamp(line, 0, lineCount() - 1);
    const QTextLine shaped = shapedLine(line).lineAt(0);
    const int start = lineStart(line);
    if (!shaped.isValid())
        return start;
    return std::clamp(start + shaped.xToCursor(x, mode), start, lineEnd(line));
}
