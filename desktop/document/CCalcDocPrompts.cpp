#include "desktop/document/CCalcDocPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

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

ICalcDocPrompts::RecoverAnswer CCalcDocDialogs::askRecover(const QString& question, const QStringList& copies)
{
    QDialog dialog(parent_);
    dialog.setWindowTitle(ApplicationName);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(question, &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    QListWidget* list = nullptr;
    if (copies.size() > 1) {
        list = new QListWidget(&dialog);
        list->setAccessibleName(question);
        list->addItems(copies);
        list->setCurrentRow(0);
        label->setBuddy(list);
        layout->addWidget(list);
    }
    // Yes is the default; Escape (or closing the box) answers neither and
    // keeps the copies for the next start.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, &dialog);
    buttons->button(QDialogButtonBox::Yes)->setDefault(true);
    layout->addWidget(buttons);
    RecoverAnswer answer;
    QObject::connect(buttons, &QDialogButtonBox::clicked, &dialog, [&](QAbstractButton* button) {
        answer.Choice =
            buttons->standardButton(button) == QDialogButtonBox::Yes ? RecoverChoice::Recover : RecoverChoice::Discard;
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted)
        return {};
    answer.Index = list != nullptr ? std::max(0, list->currentRow()) : 0;
    return answer;
}
