#include "desktop/document/CCalcDoc.h"

#include "core/memory/MemoryMap.h"
#include "desktop/document/CCalcCalculation.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "desktop/document/CCalcFileWatch.h"
#include "desktop/document/CCalcRecovery.h"
#include "desktop/document/CCalcRunner.h"
#include "desktop/document/CCalcWaitCursor.h"
#include "desktop/services/CalcCommandBinder.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/QtText.h"
#include "desktop/ui/editor/CCalcView.h"
#include "core/engine/EngineState.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

namespace {

// A new calculation is named after the document type, as the document
// template names it.
const QString UntitledTitle = QStringLiteral("Calculation");
const QString CancelToExitQuestion = QStringLiteral("A calculation is running.\nCancel it and exit?");
// The document's file changed by another program.
const QString ReloadQuestion =
    QStringLiteral("The file has been changed by another program. Reload it and lose your changes?");
const QString OverwriteQuestion =
    QStringLiteral("The file has been changed by another program. Save anyway and overwrite those changes?");
const QString SaveDeletedQuestion = QStringLiteral("The file has been deleted by another program. Save it again?");
const QString FileReloadedNotice = QStringLiteral("The file was changed by another program and has been reloaded.");
const QString FileDeletedNotice = QStringLiteral("The file has been deleted by another program.");
// How long closing waits for a cancelled calculation to stop.
constexpr int CancelWaitMilliseconds = 5000;

}  // namespace

CCalcDoc::CCalcDoc(CCalcView* editor, ICalcDocPrompts* prompts, QObject* parent)
    : QObject(parent), editor_(editor), prompts_(prompts), runner_(new CCalcRunner(editor, this)), file_(prompts),
      memory_(*runner_, prompts)
{
    connect(editor_->document(), &CCalcTextStore::modificationChanged, this, &CCalcDoc::modifiedChanged);
    connect(runner_, &CCalcRunner::runningChanged, this, &CCalcDoc::calculationRunningChanged);
    connect(runner_, &CCalcRunner::resultChanged, this, &CCalcDoc::resultChanged);
    connect(runner_, &CCalcRunner::calculationStarting, this, &CCalcDoc::calculationStarting);
    connect(runner_, &CCalcRunner::runReported, this, &CCalcDoc::runReported);
    connect(runner_, &CCalcRunner::memoryChanged, this, &CCalcDoc::memoryChanged);
    recovery_ = new CCalcRecovery(*this);
    watch_ = new CCalcFileWatch(this);
    connect(watch_, &CCalcFileWatch::changedOnDisk, this, &CCalcDoc::fileChangedOnDisk);
    // A change seen during a calculation waits for its end.
    connect(runner_, &CCalcRunner::runningChanged, this, [this](bool running) {
        if (!running)
            fileChangedOnDisk();
    });
}

void CCalcDoc::setPrompts(ICalcDocPrompts* prompts)
{
    prompts_ = prompts;
    file_.setPrompts(prompts);
    memory_.setPrompts(prompts);
}

CCalcCalculation* CCalcDoc::calculation() const
{
    return runner_->calculation();
}

bool CCalcDoc::isCalculating() const
{
    return runner_->isRunning();
}

void CCalcDoc::cancelCalculation()
{
    runner_->calculation()->cancel();
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
    runner_->calculation()->waitForFinished(CancelWaitMilliseconds);
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
        runner_->calculate(false);
        return;
    case CmdCalculateAll:
        runner_->calculate(true);
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

void CCalcDoc::noticeMemoryChange()
{
    runner_->noticeMemoryChange();
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

void CCalcDoc::fileChangedOnDisk()
{
    if (askingAboutFile_ || isCalculating() || watch_->path().isEmpty() || watch_->path() != pathName_)
        return;
    switch (watch_->check()) {
    case CCalcFileWatch::State::Same:
        deletionReported_ = false;
        return;
    case CCalcFileWatch::State::Deleted:
        if (!deletionReported_)
            emit fileNotice(FileDeletedNotice);
        deletionReported_ = true;
        return;
    case CCalcFileWatch::State::Changed:
        break;
    }
    deletionReported_ = false;
    if (watch_->isDeclined())
        return;
    if (isModified()) {
        askingAboutFile_ = true;
        const bool reload = prompts_->confirm(ReloadQuestion);
        askingAboutFile_ = false;
        if (!reload) {
            watch_->decline();
            return;
        }
    }
    if (readDocument(pathName_))
        emit fileNotice(FileReloadedNotice);
}

bool CCalcDoc::mayWriteOverFile()
{
    if (watch_->path().isEmpty() || watch_->path() != pathName_)
        return true;
    switch (watch_->check()) {
    case CCalcFileWatch::State::Same:
        return true;
    case CCalcFileWatch::State::Changed:
        return prompts_->confirm(OverwriteQuestion);
    case CCalcFileWatch::State::Deleted:
        return prompts_->confirm(SaveDeletedQuestion);
    }
    return false;
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
    watch_->forget();
    file_.reset();
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
    const CCalcWaitCursor wait;
    const std::optional<std::u16string> text = file_.read(path);
    if (!text)
        return false;
    editor_->loadText(Tevra::ToQString(*text));
    setPathName(path);
    watch_->remember(pathName_);
    emit fileNotice(file_.notice());
    emit fileUsed(pathName_);
    return true;
}

void CCalcDoc::wroteDocument(const QString& path)
{
    editor_->document()->setModified(false);
    setPathName(path);
    watch_->remember(pathName_);
    emit fileNotice(QString());
    emit fileUsed(pathName_);
}

bool CCalcDoc::save()
{
    if (pathName_.isEmpty())
        return saveAs();
    if (!mayWriteOverFile())
        return false;
    if (!file_.write(pathName_, [this] { return editorText(); }))
        return false;
    wroteDocument(pathName_);
    return true;
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
    if (!file_.writeAs(path, [this] { return editorText(); }))
        return false;
    wroteDocument(path);
    return true;
}

void CCalcDoc::executeFile()
{
    memory_.executeFile();
}

void CCalcDoc::freeMemory()
{
    memory_.freeMemory();
}

void CCalcDoc::loadMemory()
{
    memory_.loadMemory();
}

void CCalcDoc::saveMemory(bool all)
{
    memory_.saveMemory(all);
}
