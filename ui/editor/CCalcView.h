// The editor: a plain-text editor wrapping at its width, holding the
// calculation text. It owns the editor font and its persistence under
// "GUI/Editor".
#pragma once

#include <QPlainTextEdit>

class ICalcCommandBinder;

// The text is read and written with text()/loadText()/
// replaceTextAfterCalculation(); lines are separated by "\n" and positions
// count UTF-16 code units, as the engine counts them.
class CCalcView final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CCalcView(QWidget* parent = nullptr);
    ~CCalcView() override;

    // The whole text, lines separated by "\n", exactly as typed.
    QString text() const;
    // The start of the selection (the caret when nothing is selected).
    int selectionStart() const;

    // Replaces the whole text by an opened file's text: the undo history is
    // emptied and the document counts as unmodified; the caret goes to 0.
    void loadText(const QString& text);

    // Puts a calculation's text back: replaces the whole text, empties the undo
    // history (a calculation cannot be undone), places an empty selection at
    // caret (clamped to the text) and scrolls it into view. The document
    // counts as modified when the text changed; otherwise its state is kept.
    void replaceTextAfterCalculation(const QString& text, int caret);

    // The editor font. setEditorFont() takes a font as chosen in the font
    // dialog; selectFont() opens that dialog (Cancel changes nothing);
    // setDefaultFont() sets Courier New 15 pt, normal weight, upright.
    QFont editorFont() const { return font(); }
    int editorFontSize() const { return fontSize_; }
    void setEditorFont(const QFont& chosen);
    void selectFont();
    void setDefaultFont();
    // True while the font is exactly the default: size 15, weight 400,
    // upright, face "Courier New" (letter case counts).
    bool isDefaultFont() const { return defaultFontInUse_; }

    // Binds the editor's commands: Undo, Cut, Copy and Paste, and the two
    // editor font commands, with their enabled states and check mark.
    void bindCommands(ICalcCommandBinder& commands);

    // Writes FontFace, FontSize, FontWeight and FontItalic under "GUI/Editor".
    void saveSettings() const;

signals:
    // The editor font changed; the menu's "Default" check mark follows
    // defaultFontInUse.
    void fontChanged(bool defaultFontInUse);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    void loadSettings();
    void applyFont(const QFont& font, int size);

    int fontSize_ = 15;
    bool defaultFontInUse_ = true;
};
