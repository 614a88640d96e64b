// Positions and ranges of the editor's text, and the crossing to the engine's
// counting.
#include <gtest/gtest.h>

#include "desktop/ui/editor/CTextRange.h"

namespace {

static_assert(CTextRange::Between(7, 3) == CTextRange{3, 7});
static_assert(CTextRange::Span(2, 3) == CTextRange{2, 5});
static_assert(CTextRange{2, 5}.length() == 3);
static_assert(CTextRange{4, 4}.isEmpty() && !CTextRange{4, 5}.isEmpty());
static_assert(CTextRange{-3, 9}.clampedTo(5) == CTextRange{0, 5});
static_assert(CTextRange{4, 2}.clampedTo(5) == CTextRange{4, 4});
static_assert(CTextRange{1, 2}.movedBy(3) == CTextRange{4, 5});
static_assert(IndexOf(-1) == 0 && IndexOf(12) == 12 && PositionOf(12) == 12);

TEST(EditorRange, EndsTouchButAreNotInside)
{
    constexpr CTextRange range{2, 4};
    const bool touches[] = {false, false, true, true, true, false};
    const bool surrounds[] = {false, false, false, true, false, false};
    for (int position = 0; position < 6; ++position) {
        EXPECT_EQ(range.touches(position), touches[position]) << position;
        EXPECT_EQ(range.surrounds(position), surrounds[position]) << position;
    }
}

TEST(EditorRange, TheEngineSeesTheSameCodeUnits)
{
    const QString text = QString::fromUtf16(u"x=\U0001D465;\n5");
    const std::u16string_view view = Tevra::ToU16View(text);
    ASSERT_EQ(view.size(), IndexOf(TextLength(text)));
    EXPECT_EQ(view[2], text.at(2).unicode());
    EXPECT_EQ(view[3], text.at(3).unicode());
    EXPECT_EQ(TextIn(text, {2, 4}), QString::fromUtf16(u"\U0001D465"));
    EXPECT_EQ(TextIn(text, CTextRange::Span(5, 9)), QStringLiteral("\n5"));
}

}  // namespace
