// The editor font as a setting: the default check-mark rule, the stored font
// read and written under "GUI/Editor", the font dialog, and the editor laid
// out in the font chosen.
#include <QApplication>
#include <QFontDialog>
#include <QFontMetricsF>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

#include "desktop/frame/CCalcEditorFontSettings.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/editor/CCalcView.h"

namespace {

QSettings Store()
{
    return Tevra::ProgramSettings();
}

class EditorFont : public ::testing::Test {
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

TEST_F(EditorFont, WithNoSettingsTheFontIsCourierNew15)
{
    CCalcView view;
    CCalcEditorFontSettings setting(&view);
    EXPECT_EQ(view.font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(view.font().pointSize(), 15);
    EXPECT_EQ(setting.size(), 15);
    EXPECT_EQ(view.font().weight(), 400);
    EXPECT_FALSE(view.font().italic());
    EXPECT_TRUE(setting.isDefaultFont());
}

TEST_F(EditorFont, StoredFontDecidesTheCheckMark)
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
        CCalcEditorFontSettings setting(&view);
        EXPECT_EQ(setting.isDefaultFont(), row.Default)
            << row.Face << " " << row.Size << " " << row.Weight << " " << row.Italic;
        EXPECT_EQ(view.font().family(), QString::fromLatin1(row.Face));
        EXPECT_EQ(setting.size(), row.Size);
        EXPECT_EQ(view.font().italic(), row.Italic != 0);
    }
}

TEST_F(EditorFont, GarbageSettingsGiveTheDefaultFont)
{
    StoreFont(QString(), QStringLiteral("-3"), QStringLiteral("heavy"), QStringLiteral("x"));
    CCalcView view;
    CCalcEditorFontSettings setting(&view);
    EXPECT_TRUE(setting.isDefaultFont());
    EXPECT_EQ(view.font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(setting.size(), 15);

    StoreFont(QStringLiteral("Courier New"), QStringLiteral("100000"), QStringLiteral("5000"), QStringLiteral("0"));
    CCalcView second;
    CCalcEditorFontSettings secondSetting(&second);
    EXPECT_TRUE(secondSetting.isDefaultFont());
}

TEST_F(EditorFont, ChosenFontAndDefaultSwitchTheCheckMark)
{
    CCalcView view;
    CCalcEditorFontSettings setting(&view);
    QSignalSpy changed(&setting, &CCalcEditorFontSettings::fontChanged);
    setting.setEditorFont(Font(QStringLiteral("Courier New"), 15, 700, false));
    EXPECT_FALSE(setting.isDefaultFont());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_FALSE(changed.at(0).at(0).toBool());

    setting.setDefaultFont();
    EXPECT_TRUE(setting.isDefaultFont());
    EXPECT_EQ(view.font().weight(), 400);
    EXPECT_TRUE(changed.at(1).at(0).toBool());
}

TEST_F(EditorFont, EveryChosenFontSetsTheCheckMarkAndTheLayout)
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
    CCalcEditorFontSettings setting(&view);
    view.resize(300, 200);
    view.show();
    view.loadText(QString(400, u'8'));
    QSignalSpy changed(&setting, &CCalcEditorFontSettings::fontChanged);
    for (const Row& row : rows) {
        setting.setEditorFont(Font(QString::fromLatin1(row.Face), row.Size, row.Weight, row.Italic));
        EXPECT_EQ(setting.isDefaultFont(), row.Default) << row.Face << " " << row.Size;
        EXPECT_EQ(changed.takeLast().at(0).toBool(), row.Default) << row.Face << " " << row.Size;
        // The text is laid out in the new font: its lines are as high as
        // the font, and as many as its width needs.
        const QFontMetricsF metrics(view.textLayout().font());
        EXPECT_EQ(view.textLayout().lineHeight(), static_cast<int>(std::ceil(metrics.ascent() + metrics.descent())));
        const int perLine = static_cast<int>(view.textLayout().width() / metrics.horizontalAdvance(u'8'));
        EXPECT_EQ(view.textLayout().lineCount(), (400 + perLine - 1) / perLine) << row.Face << " " << row.Size;
    }
}

TEST_F(EditorFont, FontSurvivesARestart)
{
    {
        CCalcView view;
        CCalcEditorFontSettings setting(&view);
        setting.setEditorFont(Font(QStringLiteral("DejaVu Sans Mono"), 21, 700, true));
    }
    QSettings store = Store();
    EXPECT_EQ(store.value(QStringLiteral("GUI/Editor/FontFace")).toString(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(store.value(QStringLiteral("GUI/Editor/FontSize")).toInt(), 21);
    EXPECT_EQ(store.value(QStringLiteral("GUI/Editor/FontWeight")).toInt(), 700);
    EXPECT_EQ(store.value(QStringLiteral("GUI/Editor/FontItalic")).toInt(), 1);

    CCalcView view;
    CCalcEditorFontSettings setting(&view);
    EXPECT_EQ(view.font().family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(setting.size(), 21);
    EXPECT_EQ(view.font().weight(), 700);
    EXPECT_TRUE(view.font().italic());
    EXPECT_FALSE(setting.isDefaultFont());
}

TEST_F(EditorFont, DefaultFaceNameIsStoredAsCourierNew)
{
    {
        CCalcView view;
        CCalcEditorFontSettings setting(&view);
    }
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Editor/FontFace")).toString(), QStringLiteral("Courier New"));
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Editor/FontSize")).toInt(), 15);
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Editor/FontWeight")).toInt(), 400);
    EXPECT_EQ(Store().value(QStringLiteral("GUI/Editor/FontItalic")).toInt(), 0);
}

TEST_F(EditorFont, FontDialogOkWithoutChangeKeepsTheDefault)
{
    CCalcView view;
    CCalcEditorFontSettings setting(&view);
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    setting.selectFont();
    EXPECT_EQ(view.font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(setting.size(), 15);
    EXPECT_TRUE(setting.isDefaultFont());
}

TEST_F(EditorFont, FontDialogCancelChangesNothing)
{
    CCalcView view;
    CCalcEditorFontSettings setting(&view);
    setting.setEditorFont(Font(QStringLiteral("Courier New"), 12, 400, false));
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
            dialog->setCurrentFont(Font(QStringLiteral("DejaVu Sans"), 30, 700, true));
            dialog->reject();
        }
    });
    setting.selectFont();
    EXPECT_EQ(setting.size(), 12);
    EXPECT_EQ(view.font().family(), QStringLiteral("Courier New"));
}

}  // namespace
