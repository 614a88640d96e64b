#include "desktop/document/CCalcDocPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

const QString ApplicationName = QStringLiteral("Calculator Tevra");

QString RunFileDialog(QWidget* parent, const CalcFileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    PrepareFileDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    const QString chosen = files.isEmpty() ? QString() : files.constFirst();
    RememberFileFolder(request.Kind, chosen);
    return chosen;
}

}  // namespace

void PrepareFileDialog(QFileDialog& dialog, const CalcFileDialogRequest& request)
{
    dialog.setWindowTitle(request.Title);
    dialog.setNameFilters(request.Filters);
    dialog.setDefaultSuffix(request.DefaultSuffix);
    dialog.setWindowIcon(QApplication::windowIcon());
    const bool proposesPath = QDir::isAbsolutePath(request.InitialName);
    if (const QString folder = LastFileFolder(request.Kind); !folder.isEmpty() && !proposesPath)
        dialog.setDirectory(folder);
    if (!request.InitialName.isEmpty())
        dialog.selectFile(request.InitialName);
}

QString CCalcDocDialogs::chooseFileToOpen(const CalcFileDialogRequest& request)
{
    return RunFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

QString CCalcDocDialogs::chooseFileToSave(const CalcFileDialogRequest& request)
{
    return RunFileDialog(parent_, request, QFileDialog::AcceptSave);
}

void CCalcDocDialogs::warn(const QString& message, const QString& detail)
{
    QMessageBox box(QMessageBox::Warning, ApplicationName, message, QMessageBox::Ok, parent_);
    if (!detail.isEmpty())
        box.setInformativeText(detail);
    box.exec();
}

bool CCalcDocDialogs::confirm(const QString& question)
{
    return QMessageBox::question(parent_, ApplicationName, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

ICalcDocPrompts::SaveChoice CCalcDocDialogs::askSaveChanges(const QString& name)
{
    const auto answer =
        QMessageBox::question(parent_, ApplicationName, QStringLiteral("Save changes to %1?").arg(name),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return SaveChoice::Save;
    if (answer == QMessageBox::No)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}
