// The editor view: wrapping, line breaks, plain-text paste and the text put
// back by a calculation.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/editor/CCalcView.h"

namespace {

QSettings Store()
{
    return Tevra::ProgramSettings();
}

class EditorView : public ::testing::Test {
protected:
    void SetUp() override { Store().remove(QStringLiteral("GUI/Editor")); }
    void TearDown() override { Store().remove(QStringLiteral("GUI/Editor")); }
};

TEST_F(EditorView, DrawsInTheDefaultEditorFontUntilGivenAnother)
{
    {
        CCalcView view;
        EXPECT_EQ(view.font().family(), QStringLiteral("Courier New"));
        EXPECT_EQ(view.font().pointSize(), 15);
        EXPECT_EQ(view.textLayout().font().family(), QStringLiteral("Courier New"));
        QFont chosen(QStringLiteral("DejaVu Sans Mono"));
        chosen.setPointSize(21);
        view.setFont(chosen);
        EXPECT_EQ(view.textLayout().font().pointSize(), 21);
    }
    // The view stores nothing of its font.
    EXPECT_FALSE(Store().contains(QStringLiteral("GUI/Editor/FontFace")));
}

TEST_F(EditorView, WrapsAtItsWidthWithoutHorizontalScrollBar)
{
    CCalcView view;
    view.resize(300, 200);
    view.show();
    view.loadText(QString(200, u'7'));
    // The long line shows as several lines, none wider than the viewport.
    const CCalcTextLayout& layout = view.textLayout();
    ASSERT_GT(layout.lineCount(), 1);
    for (int line = 0; line < layout.lineCount(); ++line)
        EXPECT_LE(layout.shapedLine(line).lineAt(0).naturalTextWidth(), view.viewport()->width()) << line;
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(EditorView, EnterOnlyBreaksTheLine)
{
    CCalcView view;
    QTest::keyClicks(&view, QStringLiteral("2+3"));
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClicks(&view, QStringLiteral("4"));
    QTest::keyClick(&view, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(view.text(), QStringLiteral("2+3\n4\n\n"));
    EXPECT_EQ(view.selectionStart(), 7);
}

TEST_F(EditorView, CalculationTextReplacesAllAndCannotBeUndone)
{
    CCalcView view;
    QTest::keyClicks(&view, QStringLiteral("2+3; 4*5"));
    view.document()->setModified(false);
    ASSERT_TRUE(view.document()->isUndoAvailable());

    view.replaceTextAfterCalculation(QStringLiteral("2+3=5; 4*5"), 7);
    EXPECT_EQ(view.text(), QStringLiteral("2+3=5; 4*5"));
    EXPECT_FALSE(view.document()->isUndoAvailable());
    EXPECT_FALSE(view.hasSelection());
    EXPECT_EQ(view.selectionStart(), 7);
    EXPECT_TRUE(view.document()->isModified());

    view.undo();
    EXPECT_EQ(view.text(), QStringLiteral("2+3=5; 4*5"));
}

TEST_F(EditorView, UnchangedCalculationTextKeepsTheUnmodifiedState)
{
    CCalcView view;
    view.loadText(QStringLiteral("1/0"));
    EXPECT_FALSE(view.document()->isModified());
    view.replaceTextAfterCalculation(QStringLiteral("1/0"), 0);
    EXPECT_FALSE(view.document()->isModified());
}

TEST_F(EditorView, CaretBeyondTheTextIsClamped)
{
    CCalcView view;
    view.replaceTextAfterCalculation(QStringLiteral("abc"), 99);
    EXPECT_EQ(view.selectionStart(), 3);
    view.replaceTextAfterCalculation(QStringLiteral("abc"), -5);
    EXPECT_EQ(view.selectionStart(), 0);
}

TEST_F(EditorView, CaretIsScrolledIntoView)
{
    CCalcView view;
    view.resize(300, 120);
    view.show();
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("%1+1\n").arg(i);
    view.replaceTextAfterCalculation(text, static_cast<int>(text.size()) - 1);
    EXPECT_TRUE(view.viewport()->rect().contains(view.cursorRect()));
}

TEST_F(EditorView, CalculationKeepsTheViewWhereItWas)
{
    CCalcView view;
    view.resize(300, 200);
    view.show();
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("%1+1\n").arg(i);
    view.loadText(text);
    QApplication::processEvents();
    view.verticalScrollBar()->setValue(100);
    const int caret = static_cast<int>(text.indexOf(QStringLiteral("105+1"))) + 5;
    view.replaceTextAfterCalculation(text, caret);
    QApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->value(), 100);
    EXPECT_TRUE(view.viewport()->rect().contains(view.cursorRect()));
}

TEST_F(EditorView, TextKeepsPositionsInCodeUnits)
{
    CCalcView view;
    const QString text = QStringLiteral("\u00a0x\t=\U0001D465;\n\n5");
    view.loadText(text);
    EXPECT_EQ(view.text(), text);
    view.replaceTextAfterCalculation(text, 6);
    EXPECT_EQ(view.selectionStart(), 6);
}

TEST_F(EditorView, LoadedTextHasLineBreaksAsNewlines)
{
    CCalcView view;
    view.loadText(QStringLiteral("1\r\n2\r3"));
    EXPECT_EQ(view.text(), QStringLiteral("1\n2\n3"));
    EXPECT_FALSE(view.document()->isUndoAvailable());
}

TEST_F(EditorView, PasteInsertsPlainTextOnly)
{
    CCalcView view;
    // Paste of rich text without a plain-text form: its characters only.
    auto* rich = new QMimeData;
    rich->setHtml(QStringLiteral("<b>sin</b>(<i>pi</i>)"));
    QApplication::clipboard()->setMimeData(rich);
    view.paste();
    EXPECT_EQ(view.text(), QStringLiteral("sin(pi)"));

    auto* plain = new QMimeData;
    plain->setText(QString::fromUtf16(u";1\r\n2\0003", 7));
    QApplication::clipboard()->setMimeData(plain);
    view.paste();
    EXPECT_EQ(view.text(), QStringLiteral("sin(pi);1\n23"));
}

TEST_F(EditorView, CopyGivesPlainTextWithNewlines)
{
    CCalcView view;
    view.loadText(QStringLiteral("1+1\n2+2"));
    view.selectAll();
    view.copy();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), QStringLiteral("1+1\n2+2"));
    EXPECT_FALSE(copied->hasHtml());
}

TEST_F(EditorView, AlternativeEditKeysWork)
{
    CCalcView view;
    QTest::keyClicks(&view, QStringLiteral("12"));
    view.selectAll();
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ControlModifier);  // copy
    ASSERT_NE(QApplication::clipboard()->mimeData(), nullptr);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12"));
    QTest::keyClick(&view, Qt::Key_Delete, Qt::ShiftModifier);  // cut
    EXPECT_EQ(view.text(), QString());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12"));
    QTest::keyClick(&view, Qt::Key_Backspace, Qt::AltModifier);  // undo
    EXPECT_EQ(view.text(), QStringLiteral("12"));
    view.setSelection(static_cast<int>(view.text().size()), static_cast<int>(view.text().size()));
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ShiftModifier);  // paste
    EXPECT_EQ(view.text(), QStringLiteral("1212"));
}

}  // namespace

namespace {

// Whether any pixel of the view shows colour.
bool Shows(CCalcView& view, const QColor& colour)
{
    const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return true;
        }
    }
    return false;
}

}  // namespace

TEST_F(EditorView, AnEmptyEditorShowsItsHintOutsideTheText)
{
    CCalcView view;
    const QColor hintColour(255, 0, 0);
    QPalette palette = view.palette();
    palette.setColor(QPalette::PlaceholderText, hintColour);
    view.setPalette(palette);
    view.resize(400, 200);
    view.setPlaceholderText(QStringLiteral("Press Ctrl+= to calculate"));
    view.show();
    EXPECT_TRUE(Shows(view, hintColour));
    EXPECT_TRUE(view.text().isEmpty());

    view.setFocus();
    QTest::keyClicks(&view, QStringLiteral("1"));
    EXPECT_EQ(view.text(), QStringLiteral("1"));  // the hint is never part of the text
    EXPECT_FALSE(Shows(view, hintColour));

    view.loadText(QString());
    EXPECT_TRUE(Shows(view, hintColour));
}
