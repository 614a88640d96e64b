// Everything the document asks the user: file dialogs, warnings and
// confirmations. The document talks only to this interface, so that tests can
// answer in place of a person.
#pragma once

#include "desktop/document/CalcFileFolders.h"

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

struct CalcFileDialogRequest;

// Sets up dialog for request: title, filters, suffix, and the proposed name
// in the folder last used for the request's kind (a proposed path keeps its
// own folder).
void PrepareFileDialog(QFileDialog& dialog, const CalcFileDialogRequest& request);

// One file dialog as the document wants it.
struct CalcFileDialogRequest {
    QString Title;
    QStringList Filters;                            // "Name (*.ext)" entries, the first one selected
    QString DefaultSuffix;                          // without the dot
    QString InitialName;                            // proposed file name or path; may be empty
    CalcFileKind Kind = CalcFileKind::Calculation;  // whose last folder the dialog opens in
};

// The filters of the program's file dialogs.
namespace CalcFileFilters {
inline const QString Calculation = QStringLiteral("Calculator calculation files (*.vcl)");
inline const QString Memory = QStringLiteral("Calculator memory files (*.vcm)");
inline const QString All = QStringLiteral("All files (*.*)");
}  // namespace CalcFileFilters

class ICalcDocPrompts {
public:
    enum class SaveChoice { Save, Discard, Cancel };

    virtual ~ICalcDocPrompts() = default;
    // An existing file to read; empty when cancelled.
    virtual QString chooseFileToOpen(const CalcFileDialogRequest& request) = 0;
    // A file to write, with the overwrite prompt; empty when cancelled.
    virtual QString chooseFileToSave(const CalcFileDialogRequest& request) = 0;
    // A warning with an OK button; detail may be empty.
    virtual void warn(const QString& message, const QString& detail) = 0;
    // A Yes/No question; true only for Yes.
    virtual bool confirm(const QString& question) = 0;
    // "Save changes to ...?" with Yes, No and Cancel.
    virtual SaveChoice askSaveChanges(const QString& name) = 0;

    enum class RecoverChoice { Recover, Discard, Keep };
    struct RecoverAnswer {
        RecoverChoice Choice = RecoverChoice::Keep;
        int Index = 0;  // of the copy chosen
    };
    // The unsaved texts of runs that ended without closing, newest first (a
    // list when there are several): Yes, the default, recovers the chosen
    // one, No deletes it, and Escape keeps every copy for the next start.
    virtual RecoverAnswer askRecover(const QString& question, const QStringList& copies) = 0;
};

// The prompts as Qt's dialogs and message boxes, parented to a window.
class CCalcDocDialogs final : public ICalcDocPrompts {
public:
    explicit CCalcDocDialogs(QWidget* parent) : parent_(parent) {}

    QString chooseFileToOpen(const CalcFileDialogRequest& request) override;
    QString chooseFileToSave(const CalcFileDialogRequest& request) override;
    void warn(const QString& message, const QString& detail) override;
    bool confirm(const QString& question) override;
    SaveChoice askSaveChanges(const QString& name) override;
    RecoverAnswer askRecover(const QString& question, const QStringList& copies) override;

private:
    QWidget* parent_;
};
