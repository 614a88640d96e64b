// Whole-program timings of the editor on a real display: the desktop program
// is started on a generated calculation file, then one keystroke and one
// Calculate all are timed, each up to the moment the editor has painted the
// result. Run it through scripts/editor-speed.sh, which starts a virtual
// display and prints the table of all documents.
//
//   tevra_editor_bench DOCUMENT [KEYSTROKES [CALCULATIONS]]
//   tevra_editor_bench --write DOCUMENT PATH
//   tevra_editor_bench --undo-cycles DOCUMENT CYCLES
//
// --undo-cycles selects all, cuts and pastes CYCLES times and prints the
// program's resident memory along the way and after File New has discarded
// the text with its history (scripts/measure-undo.sh).
//
// DOCUMENT is one of the names in Documents below. With TEVRA_EDITOR_AIDS=off
// the editor is the plain one (no live value, colours, marks or completion),
// for the figures without them.
#include "desktop/app/CCalcApp.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/CCalcCmdReceiver.h"
#include "desktop/document/CCalcDoc.h"
#include "core/files/CCalcFileText.h"
#include "desktop/ui/editor/CCalcEditorAids.h"
#include "desktop/ui/editor/CCalcLivePreview.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcMainFrame.h"
#include "desktop/services/CalcCommands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Statements as pasted data holds them: numbers and operators without blanks,
// so a line of them has no place where a word-boundary wrap may break it (the
// worst case of a wrapping editor). "#" is a number that changes.
constexpr std::u16string_view Statements[] = {
    u"12.5*#+7/2", u"#^2-1/#", u"2^10-#", u"#*3.25+0.5", u"-#/7+1e-3", u"1+#=#",
};
// Texts no one calculates but anyone may open: the editor must stay quick on
// them too.
constexpr std::u16string_view Blanks[] = {u"    "};
constexpr std::u16string_view Accents[] = {u"e\u0301\u0302"};
constexpr std::u16string_view Arabic[] = {u"\u0645\u0631\u062d\u0628\u0627"};
constexpr std::u16string_view Emoji[] = {u"\U0001F600\U0001F4A1"};
constexpr std::u16string_view Empty[] = {u""};

struct Document {
    const char* Name;
    std::size_t Characters;  // the text's length at most, a line break counted as the file's two
    std::u16string_view Separator;
    std::span<const std::u16string_view> Pieces;
};

// A text of two million characters is a calculation file of four megabytes.
// Each document is somewhat less long than its name says.
constexpr std::size_t Million = 1 << 20;
constexpr std::array<Document, 10> Documents = {{
    {"lines-1m", Million, u";\n", Statements},
    {"line-1m", Million, u";", Statements},
    {"line-2m", 2 * Million - 1, u";", Statements},
    {"line-4m", 4 * Million - 1, u";", Statements},
    {"lines-4m", 4 * Million - 1, u";\n", Statements},
    {"blanks-4m", 4 * Million - 1, u"", Blanks},
    {"accents-4m", 4 * Million - 1, u"", Accents},
    {"arabic-4m", 4 * Million - 1, u"", Arabic},
    {"emoji-4m", 4 * Million - 1, u"", Emoji},
    {"empty-lines-4m", 4 * Million - 1, u"\n", Empty},
}};

std::u16string DocumentText(const Document& document)
{
    std::u16string text;
    std::u16string piece;
    std::size_t units = 0;
    text.reserve(document.Characters);
    for (std::size_t i = 0;; ++i) {
        piece = i == 0 ? std::u16string_view() : document.Separator;
        const std::string number = std::to_string(i % 997 + 1);
        for (const char16_t c : document.Pieces[i % document.Pieces.size()]) {
            if (c == u'#')
                piece.append(number.begin(), number.end());
            else
                piece.push_back(c);
        }
        const auto lineBreaks = static_cast<std::size_t>(std::count(piece.begin(), piece.end(), u'\n'));
        if (units + piece.size() + lineBreaks > document.Characters)
            return text;
        text += piece;
        units += piece.size() + lineBreaks;
    }
}

const Document* FindDocument(std::string_view name)
{
    for (const Document& document : Documents) {
        if (name == document.Name)
            return &document;
    }
    return nullptr;
}

bool WriteDocument(const Document& document, const QString& path)
{
    const std::string bytes = Tevra::FileBytesFromEditorText(DocumentText(document));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

// Notes the editor's paint events, so that a measurement ends when the new
// text is on the screen.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QWidget* viewport) { viewport->installEventFilter(this); }
    void reset() { painted_ = false; }
    // Processes events until the editor has painted.
    void wait()
    {
        while (!painted_)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        QApplication::processEvents();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted_ = true;
        return false;
    }

private:
    bool painted_ = false;
};

double Milliseconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void SendKey(QWidget* target, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

void Click(QWidget* target, QPoint point)
{
    QMouseEvent press(QEvent::MouseButtonPress, point, target->mapToGlobal(point), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, point, target->mapToGlobal(point), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

long ResidentKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

int Measure(const Document& document, int keystrokes, int calculations)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(document.Name) + QStringLiteral(".vcl"));
    if (!WriteDocument(document, path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 2;
    }
    const qint64 fileBytes = QFile(path).size();
    if (fileBytes > Tevra::MaxEditorFileBytes) {
        std::printf("%s: larger than the editor opens (%lld bytes)\n", document.Name, fileBytes);
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    CCalcApp calculator;
    if (!calculator.start({path})) {
        std::printf("%s: the program refused the file (%lld bytes)\n", document.Name, fileBytes);
        return 1;
    }
    CCalcMainFrame* frame = calculator.frame();
    CCalcView* view = frame->view();
    const bool aids = qgetenv("TEVRA_EDITOR_AIDS") != "off";
    frame->editorAids()->setLiveValue(aids);
    frame->editorAids()->setHighlighting(aids);
    frame->editorAids()->setResultsMargin(aids);
    PaintWatch watch(view->viewport());
    watch.wait();
    const double open = Milliseconds(timer);
    const qsizetype characters = view->text().size();

    // The caret goes to the middle of the text, where a key costs most.
    QScrollBar* scroll = view->verticalScrollBar();
    scroll->setValue(scroll->maximum() / 2);
    Click(view->viewport(), view->viewport()->rect().center());
    watch.reset();
    watch.wait();

    std::vector<double> keys;
    for (int i = 0; i < keystrokes; ++i) {
        const bool type = i % 2 == 0;
        watch.reset();
        timer.restart();
        SendKey(view, type ? Qt::Key_5 : Qt::Key_Backspace, type ? QStringLiteral("5") : QString());
        watch.wait();
        keys.push_back(Milliseconds(timer));
    }

    // What the value at the caret costs once typing pauses: the preview of
    // the statement at the caret, which reads the whole text.
    std::vector<double> previews;
    if (aids) {
        for (int i = 0; i < keystrokes; ++i) {
            timer.restart();
            frame->editorAids()->preview()->refresh();
            previews.push_back(Milliseconds(timer));
        }
    }

    std::vector<double> runs;
    for (int i = 0; i < calculations; ++i) {
        watch.reset();
        timer.restart();
        frame->document()->Command(CmdCalculateAll);
        // A run that changes nothing repaints nothing: this paint ends it.
        view->viewport()->update();
        watch.wait();
        runs.push_back(Milliseconds(timer));
    }

    std::printf("%s%s: %lld characters in %lld lines of text, file %lld bytes, viewport %dx%d\n", document.Name,
                aids ? "" : " (plain editor)", static_cast<long long>(characters),
                static_cast<long long>(view->text().count(u'\n')) + 1, fileBytes, view->viewport()->width(),
                view->viewport()->height());
    std::printf("  open to painted window      %8.1f ms\n", open);
    if (!keys.empty())
        std::printf("  keystroke to repaint        %8.1f ms median, %.1f ms worst of %d\n", Median(keys),
                    *std::max_element(keys.begin(), keys.end()), keystrokes);
    if (!previews.empty())
        std::printf("  value at the caret          %8.1f ms median, %.1f ms worst of %d\n", Median(previews),
                    *std::max_element(previews.begin(), previews.end()), keystrokes);
    for (std::size_t i = 0; i < runs.size(); ++i)
        std::printf("  calculate all to repaint    %8.1f ms (%s)\n", runs[i],
                    i == 0 ? "results written" : "results replaced");
    std::printf("  memory of the whole program %8ld KB resident, %ld KB at most\n", ResidentKilobytes("VmRSS:"),
                ResidentKilobytes("VmHWM:"));
    std::fflush(stdout);
    // The document is left modified: leave without the question about saving.
    view->document()->setModified(false);
    return 0;
}

// Select all, Cut and Paste, cycles times, through the editor's own
// operations and the system clipboard, as a user's keys would do them.
int MeasureUndoCycles(const Document& document, int cycles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(document.Name) + QStringLiteral(".vcl"));
    if (!WriteDocument(document, path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 2;
    }
    CCalcApp calculator;
    if (!calculator.start({path})) {
        std::printf("%s: the program refused the file\n", document.Name);
        return 1;
    }
    CCalcMainFrame* frame = calculator.frame();
    CCalcView* view = frame->view();
    QApplication::processEvents();
    std::printf("%s: %lld characters; resident memory after select all, cut and paste\n", document.Name,
                static_cast<long long>(view->text().size()));
    std::printf("  opened            %8ld KB\n", ResidentKilobytes("VmRSS:"));
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        view->selectAll();
        view->cut();
        view->paste();
        QApplication::processEvents();
        if (cycle % 10 == 0 || cycle == cycles)
            std::printf("  cycle %4d        %8ld KB, history %lld KB\n", cycle, ResidentKilobytes("VmRSS:"),
                        static_cast<long long>(view->document()->historyBytes() / 1024));
        std::fflush(stdout);
    }
    view->document()->setModified(false);
    frame->action(CalcCommand::FileNew)->trigger();
    QApplication::processEvents();
    std::printf("  after File New    %8ld KB, history %lld KB\n", ResidentKilobytes("VmRSS:"),
                static_cast<long long>(view->document()->historyBytes() / 1024));
    std::printf("  at most           %8ld KB\n", ResidentKilobytes("VmHWM:"));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Settings go to a directory of their own: the bench never reads or
    // writes the user's.
    QTemporaryDir settingsDir;
    qputenv("XDG_CONFIG_HOME", settingsDir.path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QApplication application(argc, argv);
    QApplication::setOrganizationName(Tevra::SettingsOrganization);
    QApplication::setApplicationName(Tevra::SettingsApplication);

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--write")) {
        const Document* document = FindDocument(arguments[2].toStdString());
        return document && WriteDocument(*document, arguments[3]) ? 0 : 2;
    }
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--undo-cycles")) {
        const Document* document = FindDocument(arguments[2].toStdString());
        return document ? MeasureUndoCycles(*document, arguments[3].toInt()) : 2;
    }
    const Document* document = arguments.size() >= 2 ? FindDocument(arguments[1].toStdString()) : nullptr;
    if (document == nullptr) {
        std::fprintf(stderr,
                     "usage: tevra_editor_bench DOCUMENT [KEYSTROKES [CALCULATIONS]]\n"
                     "       tevra_editor_bench --write DOCUMENT PATH\nDOCUMENT:");
        for (const Document& known : Documents)
            std::fprintf(stderr, " %s", known.Name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    const int keystrokes = arguments.size() >= 3 ? arguments[2].toInt() : 9;
    const int calculations = arguments.size() >= 4 ? arguments[3].toInt() : 3;
    return Measure(*document, keystrokes, calculations);
}
