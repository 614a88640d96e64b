#include "desktop/document/CCalcRecovery.h"

#include "desktop/services/QtText.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "core/formats/FileEncoding.h"
#include "core/formats/TextCodec.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/document/CalcRecoveryFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

const QString RecoverQuestion =
    QStringLiteral("Calculator Tevra did not close properly. Recover the unsaved calculation?");
const QString RecoverOneQuestion =
    QStringLiteral("Calculator Tevra did not close properly. Recover one of the unsaved calculations?");
const QString UntitledName = QStringLiteral("Calculation");
const QString CopySuffix = QStringLiteral(".vcl");
const QString PathSuffix = QStringLiteral(".path");
// A recovery copy is never larger than the largest text the editor opens.
constexpr std::size_t RecoveryLimit = 64u << 20;

// The file beside a copy that names the copy's document.
QString PathFileOf(const QString& copyName)
{
    return copyName.chopped(CopySuffix.size()) + PathSuffix;
}

void Report(const QString& file, const QString& cause)
{
    std::fprintf(stderr, "Recovery copy %s: %s\n", qPrintable(file), qPrintable(cause));
}

}  // namespace

CCalcRecovery::CCalcRecovery(CCalcDoc& document) : QObject(&document), document_(document)
{
    static int documents = 0;
    serial_ = ++documents;
    disk_.setMaxThreadCount(1);
    delay_.setSingleShot(true);
    delay_.setInterval(RecoveryDelayMilliseconds);
    connect(&delay_, &QTimer::timeout, this, &CCalcRecovery::writeNow);
    connect(document_.editor(), &CCalcView::textChanged, this, &CCalcRecovery::textChanged);
    connect(&document_, &CCalcDoc::modifiedChanged, this, &CCalcRecovery::modifiedChanged);
    connect(&document_, &CCalcDoc::pathChanged, this, &CCalcRecovery::pathChanged);
    file_ = fileFor(document_.pathName());
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

QString CCalcRecovery::fileFor(const QString& documentPath) const
{
    // Named after the instance, this document in it, and the document; the
    // path's digest keeps two documents of the same name apart.
    QString name = UntitledName;
    if (!documentPath.isEmpty()) {
        const QString absolute = QFileInfo(documentPath).absoluteFilePath();
        const QByteArray digest = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha1).toHex();
        name = QFileInfo(documentPath).completeBaseName() + QLatin1Char('-') + QString::fromLatin1(digest.left(12));
    }
    return Directory() + QLatin1Char('/') + CalcRecoveryFiles::InstanceName() + QLatin1Char('-') +
        QString::number(serial_) + QLatin1Char('~') + name + CopySuffix;
}

void CCalcRecovery::offer(ICalcDocPrompts& prompts)
{
    armed_ = true;
    const QString directory = Directory();
    if (const QString error = CalcRecoveryFiles::HoldInstanceLock(directory); !error.isEmpty()) {
        Report(directory, QStringLiteral("no copies are kept: ") + error);
        return;
    }
    locked_ = true;
    file_ = fileFor(document_.pathName());

    struct Offered {
        QString Name;
        QString DocumentPath;
        std::string Bytes;
    };
    std::vector<Offered> offered;
    QStringList items;
    for (const CalcRecoveryFiles::LeftCopy& copy : CalcRecoveryFiles::LeftCopies(directory)) {
        QString error;
        std::optional<std::string> bytes =
            CalcRecoveryFiles::ReadPrivately(directory, copy.Name, RecoveryLimit, &error);
        if (!bytes) {
            Report(directory + QLatin1Char('/') + copy.Name, error);
            continue;  // left alone
        }
        // An empty copy holds nothing, and one older than its document was
        // overtaken by a save.
        const QFileInfo document(copy.DocumentPath);
        if (bytes->empty() ||
            (!copy.DocumentPath.isEmpty() && document.exists() && document.lastModified() >= copy.Written)) {
            remove(directory + QLatin1Char('/') + copy.Name);
            continue;
        }
        items.append(QStringLiteral("%1, %2").arg(copy.DocumentPath.isEmpty() ? UntitledName : copy.DocumentPath,
                                                  copy.Written.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        offered.push_back({copy.Name, copy.DocumentPath, std::move(*bytes)});
    }
    waitForDisk();
    if (!offered.empty()) {
        const ICalcDocPrompts::RecoverAnswer answer =
            prompts.askRecover(offered.size() == 1 ? RecoverQuestion : RecoverOneQuestion, items);
        const std::size_t index = std::min(static_cast<std::size_t>(std::max(answer.Index, 0)), offered.size() - 1);
        const Offered& chosen = offered[index];
        switch (answer.Choice) {
        case ICalcDocPrompts::RecoverChoice::Recover:
            recover(chosen.Name, chosen.DocumentPath, chosen.Bytes);
            break;
        case ICalcDocPrompts::RecoverChoice::Discard:
            remove(directory + QLatin1Char('/') + chosen.Name);
            break;
        case ICalcDocPrompts::RecoverChoice::Keep:
            break;
        }
        waitForDisk();
    }
    CalcRecoveryFiles::RemoveEndedLocks(directory);
    textChanged();
}

void CCalcRecovery::recover(const QString& name, const QString& documentPath, const std::string& bytes)
{
    if (!documentPath.isEmpty() && documentPath != document_.pathName() && QFileInfo::exists(documentPath))
        document_.openDocument(documentPath);
    const Tevra::FileText text = Tevra::DecodeFileText(bytes);
    document_.editor()->loadText(Tevra::ToQString(text.Text));
    document_.editor()->document()->setModified(true);
    // The copy becomes this instance's own: it goes, as ours do, once the
    // text is saved or given up.
    const QString directory = Directory();
    const QString own = QFileInfo(file_).fileName();
    waitForDisk();  // a removal of the name asked for before goes first
    CalcRecoveryFiles::Remove(directory, PathFileOf(name));
    if (!document_.pathName().isEmpty())
        CalcRecoveryFiles::WritePrivately(directory, PathFileOf(own), document_.pathName().toUtf8().toStdString());
    CalcRecoveryFiles::Rename(directory, name, own);
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
    if (armed_ && locked_ && document_.isModified() && !delay_.isActive())
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
    const QString file = fileFor(document_.pathName());
    if (file == file_)
        return;
    if (armed_)
        remove(file_);
    file_ = file;
    textChanged();
}

void CCalcRecovery::writeNow()
{
    if (!armed_ || !locked_ || !document_.isModified())
        return;
    // The text is shared, not copied, until the disk's thread reads it.
    const QString text = document_.editor()->text();
    const QString file = file_;
    const QString documentPath = document_.pathName();
    disk_.start([text, file, documentPath] {
        const QString directory = QFileInfo(file).absolutePath();
        const QString name = QFileInfo(file).fileName();
        // The document's path first, so that a copy never lacks it.
        QString error;
        if (!documentPath.isEmpty())
            error = CalcRecoveryFiles::WritePrivately(directory, PathFileOf(name), documentPath.toUtf8().toStdString());
        if (error.isEmpty())
            error = CalcRecoveryFiles::WritePrivately(directory, name,
                                                      Tevra::EncodeCalculationFile(Tevra::ToU16String(text)));
        if (!error.isEmpty())
            Report(file, error);
    });
}

void CCalcRecovery::remove(const QString& file)
{
    disk_.start([file] {
        const QString directory = QFileInfo(file).absolutePath();
        const QString name = QFileInfo(file).fileName();
        CalcRecoveryFiles::Remove(directory, name);
        CalcRecoveryFiles::Remove(directory, PathFileOf(name));
    });
}
