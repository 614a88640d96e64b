#include "ui/editor/CCalcView.h"

#include <algorithm>
#include <cmath>

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QTextBlock>
#include <QTextDocumentFragment>

#include "app/CalcCommandBinder.h"
#include "app/CalcCommands.h"
#include "app/PreferencesStore.h"
#include "ui/editor/CCalcFontDialog.h"

namespace {

const QString SettingsGroup = QStringLiteral("GUI/Editor");
const QString& FaceKey = Tevra::FontFaceKey;
const QString& SizeKey = Tevra::FontSizeKey;
const QString& WeightKey = Tevra::FontWeightKey;
const QString& ItalicKey = Tevra::FontItalicKey;

const QString DefaultFace = QStringLiteral("Courier New");
constexpr int DefaultSize = 15;
constexpr int DefaultWeight = 400;  // normal; the stored scale (400 normal, 700 bold) is Qt's own
constexpr int MaximumSize = 1000;
constexpr int MaximumWeight = 1000;
constexpr qsizetype MaximumFaceLength = 256;

QFont MakeFont(const QString& face, int size, int weight, bool italic)
{
    QFont font(face);
    // When the face is not installed at all, fall back to a fixed-pitch one.
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(size);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, MaximumWeight)));
    font.setItalic(italic);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

bool IsDefaultFont(const QFont& font, int size)
{
    return size == DefaultSize && font.weight() == DefaultWeight && !font.italic() && font.family() == DefaultFace;
}

// Line breaks of any platform become "\n"; NUL characters are dropped, since a
// saved calculation file ends at its first NUL and would lose what follows.
QString NormalizedText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.remove(QChar::Null);
    return text;
}

}  // namespace

CCalcView::CCalcView(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    loadSettings();
}

CCalcView::~CCalcView()
{
    saveSettings();
}

QString CCalcView::text() const
{
    QString result;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            result += u'\n';
        result += block.text();
    }
    return result;
}

int CCalcView::selectionStart() const
{
    return textCursor().selectionStart();
}

void CCalcView::loadText(const QString& text)
{
    setPlainText(NormalizedText(text));
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
}

void CCalcView::replaceTextAfterCalculation(const QString& text, int caret)
{
    const bool modified = document()->isModified() || text != this->text();
    const int scrolled = verticalScrollBar()->value();
    // setPlainText() empties the undo and redo history.
    setPlainText(text);
    document()->setModified(modified);
    verticalScrollBar()->setValue(scrolled);

    QTextCursor cursor(document());
    const int end = document()->characterCount() - 1;
    cursor.setPosition(std::clamp(caret, 0, std::max(end, 0)));
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CCalcView::bindCommands(ICalcCommandBinder& commands)
{
    using namespace CalcCommand;
    const auto selection = [this] { return textCursor().hasSelection(); };
    commands.bindCommand(
        EditUndo, [this] { undo(); }, [this] { return document()->isUndoAvailable(); });
    commands.bindCommand(
        EditCut, [this] { cut(); }, selection);
    commands.bindCommand(
        EditCopy, [this] { copy(); }, selection);
    commands.bindCommand(EditPaste, [this] { paste(); });
    commands.bindCommand(EditorFontSelect, [this] { selectFont(); });
    commands.bindCommand(
        EditorFontDefault, [this] { setDefaultFont(); }, {}, [this] { return isDefaultFont(); });
    const auto refresh = [&commands] { commands.refreshCommandStates(); };
    connect(this, &QPlainTextEdit::undoAvailable, this, refresh);
    connect(this, &QPlainTextEdit::copyAvailable, this, refresh);
    connect(this, &CCalcView::fontChanged, this, refresh);
}

void CCalcView::applyFont(const QFont& font, int size)
{
    fontSize_ = size;
    defaultFontInUse_ = IsDefaultFont(font, size);
    setFont(font);
    emit fontChanged(defaultFontInUse_);
}

void CCalcView::setEditorFont(const QFont& chosen)
{
    int size = static_cast<int>(std::lround(chosen.pointSizeF()));
    if (chosen.pointSizeF() <= 0) {
        const double dpi = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
        size = static_cast<int>(std::lround(chosen.pixelSize() * 72.0 / dpi));
    }
    size = std::clamp(size, 1, MaximumSize);
    applyFont(MakeFont(chosen.family(), size, chosen.weight(), chosen.italic()), size);
}

void CCalcView::selectFont()
{
    const QFont current = font();
    CCalcFontDialog dialog(current, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QFont chosen = dialog.selectedFont();
    // The dialog lists the installed faces only: a face that the system
    // substitutes (Courier New shown in Liberation Mono) comes back under the
    // substitute's name. Keep the name the user had when the face is the same.
    if (chosen.family() != current.family() && chosen.family() == QFontInfo(current).family())
        chosen.setFamily(current.family());
    setEditorFont(chosen);
}

void CCalcView::setDefaultFont()
{
    applyFont(MakeFont(DefaultFace, DefaultSize, DefaultWeight, false), DefaultSize);
}

void CCalcView::loadSettings()
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    const auto size = Tevra::ReadStoredUInt32(settings, SizeKey);
    const auto weight = Tevra::ReadStoredUInt32(settings, WeightKey);
    const auto italic = Tevra::ReadStoredUInt32(settings, ItalicKey);
    const QVariant face = settings.value(FaceKey);
    settings.endGroup();

    const int fontSize = size && *size >= 1 && *size <= MaximumSize ? static_cast<int>(*size) : DefaultSize;
    // Weight 0 means "any weight": the normal one.
    const int fontWeight =
        weight && *weight >= 1 && *weight <= MaximumWeight ? static_cast<int>(*weight) : DefaultWeight;
    QString fontFace = face.typeId() == QMetaType::QString ? face.toString() : QString();
    if (fontFace.trimmed().isEmpty() || fontFace.size() > MaximumFaceLength)
        fontFace = DefaultFace;
    applyFont(MakeFont(fontFace, fontSize, fontWeight, italic.value_or(0) != 0), fontSize);
}

void CCalcView::saveSettings() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    settings.setValue(FaceKey, font().family());
    settings.setValue(SizeKey, fontSize_);
    settings.setValue(WeightKey, static_cast<int>(font().weight()));
    settings.setValue(ItalicKey, font().italic() ? 1 : 0);
    settings.endGroup();
}

void CCalcView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();

    // The alternative editing keys of the classic edit control.
    struct EditKey {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        void (QPlainTextEdit::*Action)();
    };
    static const EditKey EditKeys[] = {
        {Qt::Key_Backspace, Qt::AltModifier, &QPlainTextEdit::undo},
        {Qt::Key_Delete, Qt::ShiftModifier, &QPlainTextEdit::cut},
        {Qt::Key_Insert, Qt::ControlModifier, &QPlainTextEdit::copy},
        {Qt::Key_Insert, Qt::ShiftModifier, &QPlainTextEdit::paste},
    };
    for (const EditKey& editKey : EditKeys) {
        if (key == editKey.Key && modifiers == editKey.Modifiers) {
            (this->*editKey.Action)();
            return;
        }
    }
    // Enter only breaks the line, with or without Shift (which would otherwise
    // insert a soft line separator the calculation does not know).
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::ShiftModifier) {
        QKeyEvent plain(event->type(), key, event->modifiers() & ~Qt::ShiftModifier, event->text());
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool CCalcView::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText() || source->hasHtml();
}

void CCalcView::insertFromMimeData(const QMimeData* source)
{
    // Plain text only: rich text is reduced to its characters.
    const QString text =
        source->hasText() ? source->text() : QTextDocumentFragment::fromHtml(source->html()).toPlainText();
    QTextCursor cursor = textCursor();
    cursor.insertText(NormalizedText(text));
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* CCalcView::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    QString selected = textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, u'\n');
    data->setText(selected);
    return data;
}
