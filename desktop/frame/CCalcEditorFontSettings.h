// The editor font as a setting: read from "GUI/Editor" (FontFace, FontSize,
// FontWeight, FontItalic) when created, given to the editor, changed by the
// Font command's dialog or the Default command, and written back when
// destroyed (or by saveSettings()). The editor only draws in the font it is
// given.
#pragma once

#include <QFont>
#include <QObject>

class CCalcView;
class ICalcCommandBinder;

class CCalcEditorFontSettings final : public QObject {
    Q_OBJECT

public:
    // Reads the stored font and sets it on view; lives as long as view.
    explicit CCalcEditorFontSettings(CCalcView* view);
    ~CCalcEditorFontSettings() override;

    // The font in use and its size in points.
    const QFont& font() const { return font_; }
    int size() const { return size_; }
    // True while the font is exactly the default (see CalcEditorFont).
    bool isDefaultFont() const { return defaultFontInUse_; }

    // Takes a font as chosen in the font dialog (a size in pixels is turned
    // into points).
    void setEditorFont(const QFont& chosen);
    // Opens the font dialog on the font in use; Cancel changes nothing.
    void selectFont();
    // Courier New 15 pt, normal weight, upright.
    void setDefaultFont();

    // Binds the editor font commands: Font (the dialog) and Default, with
    // its check mark.
    void bindCommands(ICalcCommandBinder& commands);

    void saveSettings() const;

signals:
    // The font changed; the Default check mark follows defaultFontInUse.
    void fontChanged(bool defaultFontInUse);

private:
    void loadSettings();
    void apply(const QFont& font, int size);

    CCalcView* view_;
    QFont font_;
    int size_ = 0;
    bool defaultFontInUse_ = false;
};
