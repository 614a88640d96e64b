#include "desktop/document/CCalcDoc.h"

#include "desktop/services/CalcCommandBinder.h"
#include "desktop/services/CalcCommands.h"
#include "core/settings/CalcSettings.h"
#include "desktop/services/QtText.h"
#include "desktop/document/CCalcCalculation.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "core/files/CCalcFileText.h"
#include "desktop/document/CCalcRecovery.h"
#include "core/files/CCalcTextChange.h"
#include "core/engine/Engine.h"
#include "core/files/FileAccess.h"
#include "core/files/MemoryFile.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcView.h"
#include "core/engine/EngineState.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

// A new calculation is named after the document type, as the document
// template names it.
const QString UntitledTitle = QStringLiteral("Calculation");
const QString FreeAllQuestion = QStringLiteral("You are about to erase all the memory.\nAre you sure?");
const QString FileTooLarge = QStringLiteral("The file is too large");
const QString CancelToExitQuestion = QStringLiteral("A calculation is running.\nCancel it and exit?");
// How long closing waits for a cancelled calculation to stop.
constexpr int CancelWaitMilliseconds = 5000;

QString Bytes(std::size_t count)
{
    return count == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(count);
}

QString HiddenBytesNotice(std::size_t count)
{
    return QStringLiteral("This file holds %1 after its text that the editor does not show").arg(Bytes(count));
}

QString HiddenBytesQuestion(std::size_t count)
{
    return QStringLiteral("This file holds %1 after its text that will be lost. Save anyway?").arg(Bytes(count));
}

// Save As to a calculation or memory file name writes the program's format.
bool HasProgramSuffix(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QStringLiteral("vcl"), Qt::CaseInsensitive) == 0 ||
        suffix.compare(QStringLiteral("vcm"), Qt::CaseInsensitive) == 0;
}

// Shows the wait cursor for the lifetime of the object.
class WaitCursor final {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The path as the file system spells it.
std::string FileSystemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string_view View(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QString LimitText(qint64 limit)
{
    return QStringLiteral("Files larger than %1 MB are not read.").arg(limit / (1024 * 1024));
}

}  // namespace

CCalcDoc::CCalcDoc(CCalcView* editor, ICalcDocPrompts* prompts, QObject* parent)
    : QObject(parent), editor_(editor), prompts_(prompts), calculation_(new CCalcCalculation(this))
{
    connect(editor_->document(), &CCalcTextStore::modificationChanged, this, &CCalcDoc::modifiedChanged);
    connect(calculation_, &CCalcCalculation::runningChanged, this, [this](bool running) {
        editor_->setCalculating(running);
        emit calculationRunningChanged(running);
    });
    recovery_ = new CCalcRecovery(*this);
}

bool CCalcDoc::isCalculating() const
{
    return calculation_->isRunning();
}

void CCalcDoc::cancelCalculation()
{
    calculation_->cancel();
}

bool CCalcDoc::endCalculationBeforeClosing()
{
    if (!isCalculating())
        return true;
    if (!prompts_->confirm(CancelToExitQuestion))
        return false;
    // The question may have been open while the calculation ended.
    if (!isCalculating())
        return true;
    cancelCalculation();
    // The engine stops within moments of the request; the wait is only
    // bounded so that nothing can keep the window from closing for good.
    calculation_->waitForFinished(CancelWaitMilliseconds);
    return !isCalculating();
}

void CCalcDoc::bindCommands(ICalcCommandBinder& commands)
{
    using namespace CalcCommand;
    const auto memoryHoldsCells = [] { return NCalculatorText::State().MemoryMap.Count() > 0; };
    commands.bindCommand(FileNew, [this] { newDocument(); });
    commands.bindCommand(FileSave, [this] { save(); });
    commands.bindCommand(FileSaveAs, [this] { saveAs(); });
    commands.bindCommand(ExecuteFile, [this] { executeFile(); });
    commands.bindCommand(
        MemoryFree, [this] { Command(CmdFreeMemory); }, memoryHoldsCells);
    commands.bindCommand(MemoryLoad, [this] { loadMemory(); });
    commands.bindCommand(
        MemorySave, [this] { saveMemory(); }, memoryHoldsCells);
    commands.bindCommand(Calculate, [this] { Command(CmdCalculate); });
    commands.bindCommand(CalculateAll, [this] { Command(CmdCalculateAll); });
    connect(this, &CCalcDoc::memoryChanged, this, [&commands] { commands.refreshCommandStates(); });
}

void CCalcDoc::Command(std::uint32_t code)
{
    // Nothing waits behind a running calculation: a command either runs now
    // or is not available.
    if (isCalculating())
        return;
    switch (code) {
    case CmdClear:
        clearText();
        return;
    case CmdBackspace:
        backspace();
        return;
    case CmdCalculate:
        calculate(false);
        return;
    case CmdCalculateAll:
        calculate(true);
        return;
    case CmdFreeMemory:
        freeMemory();
        return;
    default:
        return;  // unknown codes do nothing
    }
}

void CCalcDoc::InsertText(std::u16string_view text)
{
    if (isCalculating())
        return;  // the text is the calculation's until it is done
    editor_->replaceSelection(Tevra::ToQString(text));
}

void CCalcDoc::clearText()
{
    editor_->setSelection(0, editor_->document()->size());
    editor_->ensureCursorVisible();
    editor_->replaceSelection(QString());
}

void CCalcDoc::backspace()
{
    int start = editor_->selectionStart();
    const int end = editor_->selectionEnd();
    if (start == end && start > 0) {
        --start;
        // One code unit back, but never into the middle of a surrogate pair:
        // removing half a pair would leave a broken character behind.
        const CCalcTextStore* document = editor_->document();
        if (start > 0 && document->characterAt(start).isLowSurrogate() &&
            document->characterAt(start - 1).isHighSurrogate())
            --start;
    }
    editor_->setSelection(start, end);
    editor_->ensureCursorVisible();
    editor_->replaceSelection(QString());
}

std::u16string CCalcDoc::editorText() const
{
    return Tevra::ToU16String(editor_->text());
}

int CCalcDoc::CaretAcrossChange(std::u16string_view before, std::u16string_view after, int caret)
{
    const std::size_t position = caret <= 0 ? 0 : static_cast<std::size_t>(caret);
    return static_cast<int>(CCalcTextChange::Between(before, after).mapByStatement(before, after, position));
}

void CCalcDoc::calculate(bool all)
{
    // The worker calculates a copy of the text; the editor keeps the text
    // as it was until the result is applied.
    struct Run {
        std::u16string Text;
        int Caret = -1;
        int SelectionStart = 0;
        std::u16string Before;
        std::vector<CCalcReportedStatement> Statements;
    };
    auto run = std::make_shared<Run>();
    run->Text = editorText();
    run->SelectionStart = editor_->selectionStart();
    run->Caret = all ? -1 : run->SelectionStart;
    // A calculate all that fails leaves no caret of its own; the old text is
    // kept to carry the user's caret over the results written before it, and
    // the statements of the records into the new text.
    run->Before = run->Text;
    calculation_->start(
        [run] {
            // On the worker: the records are noted with their statements,
            // which are moved into the text the run gives back.
            const CCalcRunRecorder recorder;
            NCalculatorText::ExecuteText(run->Text, run->Caret);
            run->Statements = recorder.statementsIn(run->Before, run->Text);
        },
        [this, run] {
            int caret = run->Caret;
            if (caret < 0)
                caret = CaretAcrossChange(run->Before, run->Text, run->SelectionStart);
            editor_->replaceTextAfterCalculation(Tevra::ToQString(run->Text), caret);
            emit resultChanged();
            emit runReported(run->Statements);
            noticeMemoryChange();
        });
}

void CCalcDoc::noticeMemoryChange()
{
    // The engine's reads and stores and the store's frees set the flag; it
    // is taken here, so each change is announced once.
    if (std::exchange(NCalculatorText::State().MemoryMap.Changed, false))
        emit memoryChanged();
}

QString CCalcDoc::title() const
{
    if (pathName_.isEmpty())
        return UntitledTitle;
    return QFileInfo(pathName_).fileName();
}

bool CCalcDoc::isModified() const
{
    return editor_->document()->isModified();
}

void CCalcDoc::setPathName(const QString& path)
{
    pathName_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    emit pathChanged();
}

bool CCalcDoc::saveModified()
{
    if (!isModified())
        return true;
    const QString name = pathName_.isEmpty() ? title() : pathName_;
    switch (prompts_->askSaveChanges(name)) {
    case ICalcDocPrompts::SaveChoice::Save:
        return save();
    case ICalcDocPrompts::SaveChoice::Discard:
        return true;
    case ICalcDocPrompts::SaveChoice::Cancel:
        return false;
    }
    return false;
}

bool CCalcDoc::newDocument()
{
    if (!saveModified())
        return false;
    editor_->loadText(QString());
    setPathName(QString());
    encoding_ = Tevra::FileEncoding::ProgramFormat;
    lineEnds_ = Tevra::LineEnds::CrLf;
    hiddenBytes_ = 0;
    emit fileNotice(QString());
    return true;
}

bool CCalcDoc::openDocument(const QString& path)
{
    if (isCalculating() || !saveModified())
        return false;
    return readDocument(path);
}

bool CCalcDoc::readDocument(const QString& path)
{
    WaitCursor wait;
    QByteArray bytes;
    if (!readFileReporting(path, Tevra::MaxEditorFileBytes, bytes))
        return false;
    const Tevra::EditorFile file = Tevra::EditorFileFromBytes(View(bytes));
    // A UTF-8 file holds up to one character per byte.
    if (file.Text.size() > Tevra::MaxEditorCharacters) {
        warnFile(FileTooLarge, path,
                 QStringLiteral("Texts of more than %1 million characters are not opened.")
                     .arg(Tevra::MaxEditorCharacters / (1024 * 1024)));
        return false;
    }
    editor_->loadText(Tevra::ToQString(file.Text));
    setPathName(path);
    encoding_ = file.Encoding;
    lineEnds_ = file.Ends;
    hiddenBytes_ = file.HiddenBytes;
    emit fileNotice(hiddenBytes_ > 0 ? HiddenBytesNotice(hiddenBytes_) : QString());
    emit fileUsed(pathName_);
    return true;
}

bool CCalcDoc::writeDocument(const QString& path, Tevra::FileEncoding encoding, Tevra::LineEnds ends)
{
    const bool overReadFile = !pathName_.isEmpty() && QFileInfo(path).absoluteFilePath() == pathName_;
    if (overReadFile && hiddenBytes_ > 0 && !prompts_->confirm(HiddenBytesQuestion(hiddenBytes_)))
        return false;
    WaitCursor wait;
    if (!writeFileReporting(path, Tevra::FileBytesFromEditorText(editorText(), encoding, ends)))
        return false;
    editor_->document()->setModified(false);
    setPathName(path);
    encoding_ = encoding;
    lineEnds_ = ends;
    hiddenBytes_ = 0;
    emit fileNotice(QString());
    emit fileUsed(pathName_);
    return true;
}

bool CCalcDoc::save()
{
    if (pathName_.isEmpty())
        return saveAs();
    return writeDocument(pathName_, encoding_, lineEnds_);
}

bool CCalcDoc::saveAs()
{
    QString proposed = pathName_;
    if (proposed.isEmpty()) {
        proposed = title();
        const qsizetype cut = proposed.indexOf(QRegularExpression(QStringLiteral("[:/\\\\]")));
        if (cut >= 0)
            proposed.truncate(cut);
        proposed += QStringLiteral(".vcl");
    }
    const CalcFileDialogRequest request{QStringLiteral("Save As"),
                                        {CalcFileFilters::Calculation, CalcFileFilters::Memory, CalcFileFilters::All},
                                        QStringLiteral("vcl"),
                                        proposed};
    const QString path = prompts_->chooseFileToSave(request);
    if (path.isEmpty())
        return false;
    if (HasProgramSuffix(path))
        return writeDocument(path, Tevra::FileEncoding::ProgramFormat, Tevra::LineEnds::CrLf);
    return writeDocument(path, encoding_, lineEnds_);
}

bool CCalcDoc::readFileReporting(const QString& path, std::int64_t limit, QByteArray& bytes)
{
    // Only a regular file is read: a pipe would keep the window waiting for
    // a writer, and a device might never end.
    using Outcome = Tevra::FileContent::Outcome;
    const Tevra::FileContent content = Tevra::ReadRegularFile(FileSystemPath(path), static_cast<std::size_t>(limit));
    const QString reason = content.Error != 0 ? QString::fromStdString(Tevra::SystemCause(content.Error))
                                              : QStringLiteral("Not a regular file");
    switch (content.Result) {
    case Outcome::CannotOpen:
        warnFile(Tevra::ToQString(Tevra::CannotOpenForReading), path, reason);
        return false;
    case Outcome::CannotRead:
        warnFile(Tevra::ToQString(Tevra::CannotReadFile), path, reason);
        return false;
    case Outcome::TooLarge:
        warnFile(FileTooLarge, path, LimitText(limit));
        return false;
    case Outcome::Read:
        break;
    }
    bytes = QByteArray(content.Bytes.data(), static_cast<qsizetype>(content.Bytes.size()));
    return true;
}

bool CCalcDoc::writeFileReporting(const QString& path, std::string_view bytes)
{
    // The file is replaced only when every byte is on disk: a failed save
    // never leaves a truncated file, and the message names the cause.
    const std::string error = Tevra::WriteFileAtomically(FileSystemPath(path), bytes);
    if (!error.empty())
        warnFile(QString::fromStdString(error), path, QString());
    return error.empty();
}

void CCalcDoc::executeBytes(const QByteArray& bytes)
{
    if (bytes.isEmpty()) {
        prompts_->warn(Tevra::ToQString(Tevra::CannotReadFile), QString());
        return;
    }
    calculation_->start([bytes] { Tevra::ExecuteFileBytes(View(bytes)); },
                        [this] {
                            emit resultChanged();
                            // The log holds the file's records now: no
                            // statement of the editor is marked.
                            emit runReported({});
                            noticeMemoryChange();
                        });
}

void CCalcDoc::executeFile()
{
    const CalcFileDialogRequest request{QStringLiteral("Execute file"),
                                        {CalcFileFilters::Calculation, CalcFileFilters::Memory, CalcFileFilters::All},
                                        QStringLiteral("vcl"),
                                        QString()};
    chooseAndExecuteFile(request);
}

void CCalcDoc::chooseAndExecuteFile(const CalcFileDialogRequest& request)
{
    const QString path = prompts_->chooseFileToOpen(request);
    if (path.isEmpty())
        return;
    QByteArray bytes;
    if (readFileReporting(path, Tevra::MaxExecutedFileBytes, bytes))
        executeBytes(bytes);
}

void CCalcDoc::freeMemory()
{
    if (NCalculatorText::State().CalcSettings.FreeConfirmation > 0 && !prompts_->confirm(FreeAllQuestion))
        return;
    NCalculatorText::State().MemoryMap.FreeAll();
    noticeMemoryChange();
}

void CCalcDoc::loadMemory()
{
    const CalcFileDialogRequest request{QStringLiteral("Load memory"),
                                        {CalcFileFilters::Memory, CalcFileFilters::All},
                                        QStringLiteral("vcm"),
                                        QString(),
                                        CalcFileKind::Memory};
    chooseAndExecuteFile(request);
}

void CCalcDoc::saveMemory(bool all)
{
    const std::string bytes = Tevra::MemoryFileBytes(NCalculatorText::State().MemoryMap, all);
    const CalcFileDialogRequest request{QStringLiteral("Save memory"),
                                        {CalcFileFilters::Memory},
                                        QStringLiteral("vcm"),
                                        QStringLiteral("Memory 1"),
                                        CalcFileKind::Memory};
    const QString path = prompts_->chooseFileToSave(request);
    if (path.isEmpty())
        return;
    writeFileReporting(path, bytes);
}

void CCalcDoc::warnFile(const QString& message, const QString& path, const QString& reason)
{
    QString detail = QDir::toNativeSeparators(path);
    if (!reason.isEmpty())
        detail += QStringLiteral("\n") + reason;
    prompts_->warn(message, detail);
}
