// Name completion in the editor: while the user types the first letters of a
// function name or keyword, or a cell name inside a memory keyword's
// brackets, a list under the caret offers the names that match
// (NCalculatorText::CompletionCandidates). Up and Down choose, Tab or Enter
// takes one, Escape or any other move closes the list; typing goes on into
// the editor and narrows the list. Digits never open it, nor the letter of an exponent ("1e").
#pragma once

#include <QObject>

#include <vector>

#include "core/engine/NameCompletion.h"

class CCalcView;
class QKeyEvent;
class QListWidget;

class CCalcCompletion final : public QObject {
    Q_OBJECT

public:
    CCalcCompletion(CCalcView* view, NCalculatorText::CTokenIndex& index);
    ~CCalcCompletion() override;

    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }

    // The list, a child of the editor's viewport; hidden while nothing is
    // offered.
    QListWidget* list() const { return list_; }
    bool isOffering() const;
    const std::vector<NCalculatorText::CompletionCandidate>& candidates() const { return candidates_; }

    // Offers the names for the caret as it stands; closes the list when
    // there are none, or when the only one is what is typed already.
    void offer();
    // Puts the candidate of row in place of what is typed of it.
    void accept(int row);
    void close();

private:
    bool interceptKey(QKeyEvent* event);
    void typed(const QString& text);
    // The caret ends a word that is part of a number.
    bool inNumber() const;
    void caretMoved();
    void place();

    CCalcView* view_;
    NCalculatorText::CTokenIndex& index_;
    QListWidget* list_;
    NCalculatorText::CompletionContext context_;
    std::vector<NCalculatorText::CompletionCandidate> candidates_;
    bool enabled_ = false;
};
