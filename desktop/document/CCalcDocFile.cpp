#include "desktop/document/CCalcDocFile.h"

#include "desktop/document/CCalcDocPrompts.h"
#include "desktop/document/CCalcWaitCursor.h"
#include "desktop/document/CalcFileWarnings.h"

#include <QFileInfo>

#include <utility>

namespace {

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

}  // namespace

std::optional<std::u16string> CCalcDocFile::read(const QString& path)
{
    std::optional<std::string> bytes = ReadFileReporting(*prompts_, path, Tevra::MaxEditorFileBytes);
    if (!bytes)
        return std::nullopt;
    Tevra::EditorFile file = Tevra::EditorFileFromBytes(*bytes);
    // A UTF-8 file holds up to one character per byte.
    if (file.Text.size() > Tevra::MaxEditorCharacters) {
        WarnFile(*prompts_, FileTooLargeWarning, path,
                 QStringLiteral("Texts of more than %1 million characters are not opened.")
                     .arg(Tevra::MaxEditorCharacters / (1024 * 1024)));
        return std::nullopt;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    encoding_ = file.Encoding;
    lineEnds_ = file.Ends;
    hiddenBytes_ = file.HiddenBytes;
    return std::move(file.Text);
}

bool CCalcDocFile::write(const QString& path, const std::function<std::u16string()>& text)
{
    return writeIn(path, text, encoding_, lineEnds_);
}

bool CCalcDocFile::writeAs(const QString& path, const std::function<std::u16string()>& text)
{
    if (HasProgramSuffix(path))
        return writeIn(path, text, Tevra::FileEncoding::ProgramFormat, Tevra::LineEnds::CrLf);
    return writeIn(path, text, encoding_, lineEnds_);
}

bool CCalcDocFile::writeIn(const QString& path, const std::function<std::u16string()>& text,
                           Tevra::FileEncoding encoding, Tevra::LineEnds ends)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const bool overReadFile = !path_.isEmpty() && absolute == path_;
    if (overReadFile && hiddenBytes_ > 0 && !prompts_->confirm(HiddenBytesQuestion(hiddenBytes_)))
        return false;
    const CCalcWaitCursor wait;
    if (!WriteFileReporting(*prompts_, path, Tevra::FileBytesFromEditorText(text(), encoding, ends)))
        return false;
    path_ = absolute;
    encoding_ = encoding;
    lineEnds_ = ends;
    hiddenBytes_ = 0;
    return true;
}

void CCalcDocFile::reset()
{
    path_.clear();
    encoding_ = Tevra::FileEncoding::ProgramFormat;
    lineEnds_ = Tevra::LineEnds::CrLf;
    hiddenBytes_ = 0;
}

QString CCalcDocFile::notice() const
{
    return hiddenBytes_ > 0 ? HiddenBytesNotice(hiddenBytes_) : QString();
}
