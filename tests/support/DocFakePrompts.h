// Answers the document's dialogs in place of a person and records what was
// asked, for the widget tests.
#pragma once

#include "desktop/document/CCalcDocPrompts.h"

#include <QStringList>

#include <deque>
#include <vector>

class FakePrompts : public ICalcDocPrompts {
public:
    QString chooseFileToOpen(const CalcFileDialogRequest& request) override
    {
        openRequests.push_back(request);
        return next(openAnswers);
    }
    QString chooseFileToSave(const CalcFileDialogRequest& request) override
    {
        saveRequests.push_back(request);
        return next(saveAnswers);
    }
    void warn(const QString& message, const QString&) override { warnings.append(message); }
    bool confirm(const QString& question) override
    {
        questions.append(question);
        return confirmAnswer;
    }
    SaveChoice askSaveChanges(const QString& name) override
    {
        saveChangesAsked.append(name);
        return saveChoice;
    }

    RecoverAnswer askRecover(const QString& question, const QStringList& copies) override
    {
        questions.append(question);
        recoverLists.push_back(copies);
        return recoverAnswer;
    }

    std::deque<QString> openAnswers;  // an empty answer cancels
    std::deque<QString> saveAnswers;
    bool confirmAnswer = true;
    SaveChoice saveChoice = SaveChoice::Cancel;
    RecoverAnswer recoverAnswer = {RecoverChoice::Recover, 0};

    std::vector<CalcFileDialogRequest> openRequests;
    std::vector<CalcFileDialogRequest> saveRequests;
    QStringList warnings;
    QStringList questions;
    QStringList saveChangesAsked;
    std::vector<QStringList> recoverLists;

private:
    static QString next(std::deque<QString>& answers)
    {
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
