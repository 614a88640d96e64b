// The editor view: its font with the default check-mark rule and persistence,
// line breaks, plain-text paste and the text put back by a calculation.
#include <QApplication>
#include <QFontMetricsF>
#include <QClipboard>
#include <QFontDialog>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

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

    static void StoreFont(const QVariant& face, const QVariant& size, const QVariant& weight, const QVariant& italic)
    {
        QSettings store = Store();
        store.setValue(QStringLiteral("GUI/Editor/FontFace"), face);
        store.setValue(QStringLiteral("GUI/Editor/FontSize"), size);
        store.setValue(QStringLiteral("GUI/Editor/FontWeight"), weight);
        store.setValue(QStringLiteral("GUI/Editor/FontItalic"), italic);
    }
};

QFont Font(const QString& face, int size, int weight, bool italic)
{
    QFont font(face);
    font.setPointSize(size);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(italic);
    return font;
}

TEST_F(EditorView, WithNoSettingsTheFontIsCourierNew15)
{
    CCalcView view;
    EXPECT_EQ(view.font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(view.font().pointSize(), 15);
    EXPECT_EQ(view.editorFontSize(), 15);
    EXPECT_EQ(view.font().weight(), 400);
    EXPECT_FALSE(view.font().italic());
    EXPECT_TRUE(view.isDefaultFont());
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

TEST_F(EditorView, StoredFontDecidesTheCheckMark)
{
    struct Case {
        const char* Face;
        int Size;
        int Weight;
        int Italic;
        bool Default;
    };
    const Case cases[] = {
        {"Courier New", 15, 400, 0, true},  {"courier new", 15, 400, 0, false}, {"Courier New", 15, 700, 0, false},
        {"Courier New", 16, 400, 0, false}, {"Courier New", 15, 400, 1, false}, {"DejaVu Sans", 15, 400, 0, false},
        {"Courier New", 15, 0, 0, true},  // weight 0 means the normal weight
    };
    for (const Case& row : cases) {
        StoreFont(QString::fromLatin1(row.Face), row.Size, row.Weight, row.Italic);
        CCalcView view;
        EXPECT_EQ(view.isDefaultFont(), row.Default)
            << row.Face << " " << row.Size << " " << row.Weight << " " << row.Italic;
        EXPECT_EQ(view.font().family(), QString::fromLatin1(row.Face));
        EXPECT_EQ(view.editorFontSize(), row.Size);
        EXPECT_EQ(view.font().italic(), row.Italic != 0);
    }
}

TEST_F(EditorView, GarbageSettingsGiveTheDefaultFont)
{
    StoreFont(QString(), QStringLiteral("-3"), QStringLiteral("heavy"), QStringLiteral("x"));
    CCalcView view;
    EXPECT_TRUE(view.isDefaultFont());
    EXPECT_EQ(view.font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(view.editorFontSize(), 15);

    StoreFont(QStringLiteral("Courier New"), QStringLiteral("100000"), QStringLiteral("5000"), QStringLiteral("0"));
    CCalcView second;
    EXPECT_TRUE(second.isDefaultFont());
}

TEST_F(EditorView, ChosenFontAndDefaultSwitchTheCheckMark)
{
    CCalcView view;
    QSignalSpy changed(&view, &CCalcView::fontChanged);
    view.setEditorFont(Font(QStringLiteral("Courier New"), 15, 700, false));
    EXPECT_FALSE(view.isDefaultFont());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_FALSE(changed.at(0).at(0).toBool());

    view.setDefaultFont();
    EXPECT_TRUE(view.isDefaultFont());
    EXPECT_EQ(view.font().weight(), 400);
    EXPECT_TRUE(changed.at(1).at(0).toBool());
}

TEST_F(EditorView, EveryChosenFontSetsTheCheckMarkAndTheLayout)
{
    struct Row {
        const char* Face;
        int Size;
        int Weight;
        bool Italic;
        bool Default;
    };
    const Row rows[] = {
        {"Courier New", 15, 400, false, true},  {"Courier New", 15, 700, false, false},
        {"Courier New", 15, 400, true, false},  {"Courier New", 30, 400, false, false},
        {"courier new", 15, 400, false, false}, {"DejaVu Sans Mono", 15, 400, false, false},
    };
    CCalcView view;
    view.resize(300, 200);
    view.show();
    view.loadText(QString(400, u'8'));
    QSignalSpy changed(&view, &CCalcView::fontChanged);
    for (const Row& row : rows) {
        view.setEditorFont(Font(QString::fromLatin1(row.Face), row.Size, row.Weight, row.Italic));
        EXPECT_EQ(view.isDefaultFont(), row.Default) << row.Face << " " << row.Size;
        EXPECT_EQ(changed.takeLast().at(0).toBool(), row.Default) << row.Face << " " << row.Size;
        // The text is laid out in the new font: its lines are as high as
        // the font, and as many as its width needs.
        const QFontMetricsF metrics(view.textLayout().font());
        EXPECT_EQ(view.textLayout().lineHeight(), static_cast<int>(std::ceil(metrics.ascent() + metrics.descent())));
        const int perLine = static_cast<int>(view.textLayout().width() / metrics.horizontalAdvance(u'8'));
        EXPECT_EQ(view.textLayout().lineCount(), (400 + perLine - 1) / perLine) << row.Face << " " << row.Size;
    }
}

TEST_F(EditorView, FontSurvivesARestart)
{
    {
        CCalcView view;
        view.setEditorFont(Font(QStringLiteral("DejaVu Sans Mono"), 21, 700, true));
    }
    QSettings store = Store();
    EXPECT_EQ(store.value(QStringLiteral("GUI/Editor/FontFace")).toString(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(store.value(QStringLiteral("GUI/Editor/FontSize")).toInt(), 21);
    EXPECT_EQ(store.value(QStringLiteral("GUI/Editor/FontWeight")).toInt(), 700);
    EXPECT_EQ(store.value(QStringLiteral("GUI/Editor/FontItalic")).toInt(), 1);

    CCalcView view;
    EXPECT_EQ(view.font().family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(view.editorFontSize(), 21);
    EXPECT_EQ(view.font().weight(), 700);
    EXPECT_TRUE(view.font().italic());
    EXPECT_FALSE(view.isDefaultFont());
}

TEST_F(EditorView, DefaultFaceNameIsStoredAsCourierNew)
{
    {
        CCalcView view;
    }
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Editor/FontFace")).toString(), QStringLiteral("Courier New"));
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Editor/FontSize")).toInt(), 15);
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Editor/FontWeight")).toInt(), 400);
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Editor/FontItalic")).toInt(), 0);
}

TEST_F(EditorView, FontDialogOkWithoutChangeKeepsTheDefault)
{
    CCalcView view;
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    view.selectFont();
    EXPECT_EQ(view.font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(view.editorFontSize(), 15);
    EXPECT_TRUE(view.isDefaultFont());
}

TEST_F(EditorView, FontDialogCancelChangesNothing)
{
    CCalcView view;
    view.setEditorFont(Font(QStringLiteral("Courier New"), 12, 400, false));
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
            dialog->setCurrentFont(Font(QStringLiteral("DejaVu Sans"), 30, 700, true));
            dialog->reject();
        }
    });
    view.selectFont();
    EXPECT_EQ(view.editorFontSize(), 12);
    EXPECT_EQ(view.font().family(), QStringLiteral("Courier New"));
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
