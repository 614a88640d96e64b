// The editor: a plain-text editor wrapping at its width, holding the
// calculation text. It draws in the font it is given (setFont(), the default
// editor font until then); the font as a setting and the menu commands are
// the frame's.
//
// It draws and edits the text itself, so that it stays quick on any text the
// program accepts: a line of megabytes costs a keystroke what the keystroke
// changes (see CCalcTextLayout), where a general rich-text component lays
// the whole paragraph out again. The text and its history live in
// CCalcTextStore; positions everywhere count UTF-16 code units of text().
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QKeySequence>
#include <QList>
#include <QPoint>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "desktop/ui/editor/CCalcTextLayout.h"
#include "desktop/ui/editor/CCalcTextStore.h"
#include "desktop/ui/editor/CTextRange.h"

class QKeyEvent;
class QMimeData;
class QPainter;

class CCalcView final : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CCalcView(QWidget* parent = nullptr);
    ~CCalcView() override;

    // The whole text, lines separated by "\n", exactly as typed.
    QString text() const { return store_->text(); }
    // The text's edit history and modified state.
    CCalcTextStore* document() const { return store_; }

    // The caret, the selection's fixed end, and the selection in order.
    CTextPosition position() const { return position_; }
    CTextPosition anchor() const { return anchor_; }
    CTextRange selection() const { return CTextRange::Between(anchor_, position_); }
    CTextPosition selectionStart() const { return selection().Start; }
    CTextPosition selectionEnd() const { return selection().End; }
    bool hasSelection() const { return anchor_ != position_; }
    QString selectedText() const;
    // Selects from anchor to position (the caret), both clamped to the text.
    void setSelection(CTextPosition anchor, CTextPosition position);
    // Replaces the selection by text as one undoable edit and puts the caret
    // behind it. Line breaks of any platform become "\n" and NUL characters
    // are dropped, since a saved calculation ends at its first NUL.
    void replaceSelection(const QString& text);
    // Moves the text of range to position (a position of the text as it is
    // now) as one undoable edit and selects it there, as a drag within the
    // editor does; a position within range moves nothing and selects range.
    void moveText(CTextRange range, CTextPosition position);

    // Replaces the whole text by an opened file's text: the undo history is
    // emptied and the document counts as unmodified; the caret goes to 0.
    void loadText(const QString& text);

    // Puts a calculation's text back: only the stretch that changed is
    // replaced, so the view stays on the text it showed; the undo history is
    // emptied (a calculation cannot be undone); an empty selection is placed
    // at caret (clamped to the text) and scrolled into view. The document
    // counts as modified when the text changed; otherwise its state is kept.
    void replaceTextAfterCalculation(const QString& text, CTextPosition caret);

    // Scrolls the least that shows the caret's line.
    void ensureCursorVisible();
    // The caret's rectangle, in viewport coordinates.
    QRect cursorRect() const;
    // Where the character at position stands, in viewport coordinates.
    QRect characterRect(CTextPosition position) const;
    // The caret position nearest to a viewport point, and the character
    // under it.
    CTextPosition positionAt(QPoint point) const;
    CTextPosition characterAt(QPoint point) const;
    // Scrolls the least that shows position.
    void scrollToPosition(CTextPosition position);
    // The line shown at the top.
    int firstVisibleLine() const;
    const CCalcTextLayout& textLayout() const { return layout_; }

    // Room kept free at the viewport's right for a column beside the text
    // (the results margin); the text wraps in what is left.
    void setRightMargin(int width) { setViewportMargins(0, 0, width, 0); }

    // While a calculation runs its text is the calculation's: the editor
    // shows it, scrolls and selects, but takes no edit of any kind.
    void setCalculating(bool calculating);
    bool isCalculating() const { return calculating_; }

    // What an input method sees: the caret's surroundings and its place.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // Marks: stretches of the text drawn with a style over it, kept in place
    // through edits (an edit in front of a mark moves it, one inside it
    // changes its length). Each layer is set as a whole by its owner; Plain
    // marks are not drawn, only kept in place; Dimmed ones fade the text
    // under them. See CCalcViewMarks.cpp.
    // A Spot is the short, heavy line under the exact place a hint names;
    // a DottedUnderline marks a name that has no value yet.
    enum class MarkStyle { Plain, ErrorUnderline, WarningUnderline, Highlight, Spot, DottedUnderline, Dimmed };
    // The colour a mark of style is drawn in on palette: its lines stand
    // out from the base at the contrast graphics need, light or dark.
    static QColor markColor(MarkStyle style, const QPalette& palette);
    struct TextMark {
        int Start = 0;
        int Length = 0;
        MarkStyle Style = MarkStyle::Plain;
        int Tag = 0;  // the owner's: what the mark stands for
        // Shown when the pointer rests on a drawn mark; none when empty.
        QString ToolTip{};
        friend bool operator==(const TextMark&, const TextMark&) = default;
    };
    enum class MarkLayer { Findings, Brackets, Names, Stale, Count };
    // The tooltip of the drawn mark at position, the last layer first; empty
    // when none has one.
    QString markToolTipAt(int position) const;
    void setMarks(MarkLayer layer, std::vector<TextMark> marks);
    const std::vector<TextMark>& marks(MarkLayer layer) const { return marks_[static_cast<std::size_t>(layer)]; }

    // Colours for the text: asked for the stretch start..end of a line when
    // the line is laid out for the screen, so only the lines shown are ever
    // asked; gives ranges relative to start that change colours only, never
    // the font. An empty function shows the plain text.
    using LineFormatter = std::function<QList<QTextLayout::FormatRange>(int start, int end)>;
    void setLineFormatter(LineFormatter formatter);
    // The formatter would now give other colours for the same text.
    void refreshLineFormats();

    // A grey hint shown while the text is empty: drawn over the empty view,
    // never part of the text, gone at the first character typed.
    void setPlaceholderText(const QString& text);
    const QString& placeholderText() const { return placeholder_; }

    // A helper (the completion list) sees each key before the editor does;
    // returning true takes the key.
    void setKeyInterceptor(std::function<bool(QKeyEvent*)> interceptor);
    // The window's accelerators: the editor never answers these keys itself,
    // even where it has a binding of its own (Ctrl+K deletes to the end of
    // the line on this platform), so that each carries out its command.
    void setReservedKeys(QList<QKeySequence> keys);

public slots:
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void selectAll();

signals:
    void undoAvailable(bool available);
    void redoAvailable(bool available);
    // A selection appeared or vanished.
    void copyAvailable(bool available);
    void selectionChanged();
    void cursorPositionChanged();
    void textChanged();
    // The user typed text at the keyboard (not pasted, dropped or inserted).
    void textTyped(const QString& text);
    // An opened file's text replaced the whole text (loadText).
    void textLoaded();

protected:
    bool event(QEvent* event) override;
    // Shows the tooltip of the mark under the pointer (CCalcViewMarks.cpp).
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    // Keys: CCalcViewKeys.cpp; mouse, input methods, drag and drop and the
    // context menu: CCalcViewInput.cpp.
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What the editor does with a key press or a menu item.
    enum class EditAction {
        Undo,
        Redo,
        Cut,
        Copy,
        Paste,
        Delete,
        SelectAll,
        DeleteBackward,
        DeleteForward,
        DeleteWordBackward,
        DeleteWordForward,
        DeleteToParagraphEnd,
        NewLine,
    };
    enum class Move {
        PreviousCharacter,
        NextCharacter,
        PreviousWord,
        NextWord,
        PreviousLine,
        NextLine,
        LineStart,
        LineEnd,
        ParagraphStart,
        ParagraphEnd,
        TextStart,
        TextEnd,
        PreviousPage,
        NextPage,
    };
    struct KeyCommand {
        enum class Kind { None, Action, Move, Type } Type = Kind::None;
        EditAction Action = EditAction::Undo;
        Move Movement = Move::NextCharacter;
        bool Select = false;
        QString Text;
    };
    KeyCommand commandForKey(const QKeyEvent* event) const;
    bool canPerform(EditAction action) const;
    void perform(EditAction action);
    void perform(Move move, bool select);
    void startDrag();
    void autoScrollStep();
    void dropText(const QMimeData* source, CTextPosition position, bool move);

    // Moves the caret; the selection's fixed end follows unless keepAnchor.
    void moveCaret(CTextPosition position, bool keepAnchor);
    // Replaces range by text as an undoable step of kind and puts the caret
    // behind it.
    void edit(CTextRange range, const QString& text, CCalcTextStore::EditKind kind);
    // Shows the selection an undo or redo gives, when it gives one.
    void showStepSelection(std::optional<CCalcTextStore::Selection> selection);
    void textChangedInStore(int position, int removed, int added);
    void selectionMoved(CTextPosition oldAnchor, CTextPosition oldPosition);
    void updateScrollRange();
    void restartCaretBlink();
    // Where line's top edge is drawn, in viewport coordinates.
    int lineTop(int line) const;
    // The line under viewport y, clamped to the text.
    int lineAtY(int y) const;
    int visibleLineCount() const;
    // Line breaks of any platform become "\n"; NUL characters are dropped,
    // since a saved calculation file ends at its first NUL and would lose
    // what follows.
    static QString NormalizedText(QString text);
    bool canInsertFromMimeData(const QMimeData* source) const;
    QString textFromMimeData(const QMimeData* source) const;
    QMimeData* createMimeDataFromSelection() const;

    // Marks: moved along with an edit, and drawn on a line.
    void moveMarks(int position, int removed, int added);
    void paintMarks(QPainter& painter, int line, bool beforeText);

    CCalcTextStore* store_;
    CCalcTextLayout layout_;
    CTextPosition anchor_ = 0;
    CTextPosition position_ = 0;
    // The x an up or down move keeps to, or negative for the caret's own.
    qreal preferredX_ = -1;
    bool caretShown_ = true;
    QBasicTimer caretBlink_;
    // The text an input method is composing at the caret, and its caret.
    QString preedit_;
    QString placeholder_;
    int preeditCaret_ = 0;

    // Mouse selection and dragging of the selected text.
    enum class MouseMode { None, Selecting, SelectingWords, MaybeDragging };
    MouseMode mouseMode_ = MouseMode::None;
    QPoint mousePressPoint_;
    QPoint lastMousePoint_;
    CTextRange pressedWord_;
    QBasicTimer autoScroll_;
    QBasicTimer tripleClick_;
    QPoint tripleClickPoint_;
    // Where dragged text would be dropped, or -1.
    CTextPosition dropPosition_ = -1;
    // The selection being dragged out of this editor, while the drag lasts;
    // a move within the editor is done by the drop and empties it.
    std::optional<CTextRange> dragged_;

    std::array<std::vector<TextMark>, static_cast<std::size_t>(MarkLayer::Count)> marks_;
    // The longest mark of each layer: a line looks no further back for one.
    std::array<int, static_cast<std::size_t>(MarkLayer::Count)> longestMark_{};
    std::function<bool(QKeyEvent*)> keyInterceptor_;
    QList<QKeySequence> reservedKeys_;
    bool calculating_ = false;
};
