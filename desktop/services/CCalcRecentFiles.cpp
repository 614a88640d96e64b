#include "desktop/services/CCalcRecentFiles.h"

#include "desktop/services/PreferencesStore.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {

const QString RecentGroup = QStringLiteral("Recent File List");
constexpr int LongestShownPath = 60;

QString EntryKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

// The path as the menu shows it: native separators, with the middle left out
// of a long path so that the file name stays readable.
QString ShownPath(const QString& path)
{
    const QString native = QDir::toNativeSeparators(path);
    if (native.size() <= LongestShownPath)
        return native;
    const QString name = QFileInfo(path).fileName();
    const qsizetype keep = std::max<qsizetype>(LongestShownPath - name.size() - 4, 3);
    return native.left(keep) + QStringLiteral("...") + QDir::separator() + name;
}

}  // namespace

CCalcRecentFiles::CCalcRecentFiles(QMenu* menu, QAction* placeholder, QObject* parent)
    : QObject(parent), menu_(menu), placeholder_(placeholder)
{
}

void CCalcRecentFiles::load()
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(RecentGroup);
    files_.clear();
    for (int index = 0; index < Capacity; ++index) {
        const QVariant value = settings.value(EntryKey(index));
        if (value.typeId() != QMetaType::QString)
            continue;
        const QString path = value.toString();
        if (!path.isEmpty() && !files_.contains(path))
            files_.append(path);
    }
    settings.endGroup();
    rebuildMenu();
}

void CCalcRecentFiles::add(const QString& path)
{
    if (path.isEmpty())
        return;
    files_.removeAll(path);
    files_.prepend(path);
    while (files_.size() > Capacity)
        files_.removeLast();
    save();
    rebuildMenu();
}

void CCalcRecentFiles::remove(const QString& path)
{
    if (files_.removeAll(path) == 0)
        return;
    save();
    rebuildMenu();
}

void CCalcRecentFiles::save() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(RecentGroup);
    for (int index = 0; index < Capacity; ++index) {
        if (index < files_.size())
            settings.setValue(EntryKey(index), files_[index]);
        else
            settings.remove(EntryKey(index));
    }
    settings.endGroup();
}

void CCalcRecentFiles::rebuildMenu()
{
    qDeleteAll(entries_);
    entries_.clear();
    for (int index = 0; index < files_.size(); ++index) {
        const QString path = files_[index];
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(index + 1).arg(ShownPath(path)), menu_);
        entry->setStatusTip(placeholder_->statusTip());
        connect(entry, &QAction::triggered, this, [this, path] { emit openRequested(path); });
        menu_->insertAction(placeholder_, entry);
        entries_.append(entry);
    }
    placeholder_->setVisible(files_.isEmpty());
    placeholder_->setEnabled(false);
}
