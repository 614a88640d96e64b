#include "desktop/document/CCalcRecovery.h"

#include "desktop/services/QtText.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "core/files/FileAccess.h"
#include "core/formats/FileEncoding.h"
#include "core/formats/TextCodec.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

const QString RecoverQuestion =
    QStringLiteral("Calculator Tevra did not close properly. Recover the unsaved calculation?");
const QString UntitledName = QStringLiteral("Calculation");
// A recovery copy is never larger than the largest text the editor opens.
constexpr std::size_t RecoveryLimit = 64u << 20;

std::string FileSystemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

}  // namespace

CCalcRecovery::CCalcRecovery(CCalcDoc& document) : QObject(&document), document_(document)
{
    disk_.setMaxThreadCount(1);
    delay_.setSingleShot(true);
    delay_.setInterval(RecoveryDelayMilliseconds);
    connect(&delay_, &QTimer::timeout, this, &CCalcRecovery::writeNow);
    connect(document_.editor(), &CCalcView::textChanged, this, &CCalcRecovery::textChanged);
    connect(&document_, &CCalcDoc::modifiedChanged, this, &CCalcRecovery::modifiedChanged);
    connect(&document_, &CCalcDoc::pathChanged, this, &CCalcRecovery::pathChanged);
    file_ = FileFor(document_.pathName());
}

CCalcRecovery::~CCalcRecovery()
{
    disk_.waitForDone();
}

QString CCalcRecovery::Directory()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Vossek/Calculator Tevra");
}

QString CCalcRecovery::FileFor(const QString& documentPath)
{
    // Named after the document; the path's digest keeps two documents of the
    // same name in different folders apart.
    QString name = UntitledName;
    if (!documentPath.isEmpty()) {
        const QString absolute = QFileInfo(documentPath).absoluteFilePath();
        const QByteArray digest = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha1).toHex();
        name = QFileInfo(documentPath).completeBaseName() + QLatin1Char('-') + QString::fromLatin1(digest.left(12));
    }
    return Directory() + QLatin1Char('/') + name + QStringLiteral(".vcl");
}

void CCalcRecovery::offer(ICalcDocPrompts& prompts)
{
    armed_ = true;
    file_ = FileFor(document_.pathName());
    const QFileInfo copy(file_);
    if (!copy.isFile()) {
        textChanged();
        return;
    }
    // A copy older than its document was overtaken by a save.
    const QString documentPath = document_.pathName();
    const bool newer = documentPath.isEmpty() || !QFileInfo::exists(documentPath) ||
        copy.lastModified() > QFileInfo(documentPath).lastModified();
    const Tevra::FileContent content = Tevra::ReadRegularFile(FileSystemPath(file_), RecoveryLimit);
    if (newer && content.Result == Tevra::FileContent::Outcome::Read && !content.Bytes.empty() &&
        prompts.confirm(RecoverQuestion)) {
        const Tevra::FileText text = Tevra::DecodeFileText(content.Bytes);
        document_.editor()->loadText(Tevra::ToQString(text.Text));
        document_.editor()->document()->setModified(true);
        return;
    }
    remove(file_);
    textChanged();
}

void CCalcRecovery::discard()
{
    delay_.stop();
    if (armed_)
        remove(file_);
    armed_ = false;
    waitForDisk();
}

void CCalcRecovery::waitForDisk()
{
    disk_.waitForDone();
}

void CCalcRecovery::textChanged()
{
    if (armed_ && document_.isModified() && !delay_.isActive())
        delay_.start();
}

void CCalcRecovery::modifiedChanged(bool modified)
{
    if (!armed_)
        return;
    if (modified) {
        textChanged();
        return;
    }
    delay_.stop();
    remove(file_);
}

void CCalcRecovery::pathChanged()
{
    const QString file = FileFor(document_.pathName());
    if (file == file_)
        return;
    if (armed_)
        remove(file_);
    file_ = file;
    textChanged();
}

void CCalcRecovery::writeNow()
{
    if (!armed_ || !document_.isModified())
        return;
    // The text is shared, not copied, until the disk's thread reads it.
    const QString text = document_.editor()->text();
    const QString file = file_;
    disk_.start([text, file] {
        if (!QDir().mkpath(QFileInfo(file).absolutePath()))
            return;
        const std::string error =
            Tevra::WriteFileAtomically(FileSystemPath(file), Tevra::EncodeCalculationFile(Tevra::ToU16String(text)));
        if (!error.empty())
            std::fprintf(stderr, "Recovery copy %s: %s\n", qPrintable(file), error.c_str());
    });
}

void CCalcRecovery::remove(const QString& file)
{
    disk_.start([file] { QFile::remove(file); });
}
