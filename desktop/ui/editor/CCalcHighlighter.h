// The editor's colours: numbers, function names, keywords, memory cell names,
// operators, brackets, comments and the written results each in a colour of
// their own, chosen for light and for dark palettes alike; and the pair of
// brackets at the caret marked. Only the lines on the screen are read (see
// CTokenIndex), so a document of megabytes costs what one screen costs.
#pragma once

#include <QObject>
#include <QTextLayout>

#include "core/engine/TextTokens.h"

class CCalcView;
class QPalette;

class CCalcHighlighter final : public QObject {
    Q_OBJECT

public:
    explicit CCalcHighlighter(CCalcView* view);
    ~CCalcHighlighter() override;

    // On: the view asks this for its colours and the bracket pair is marked.
    // Off: the plain text.
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }

    // The colours of the stretch start..end of the text, relative to start.
    QList<QTextLayout::FormatRange> formatsFor(int start, int end);
    // The colour of a kind of token on a palette; invalid for the text's own.
    static QColor ColorOf(NCalculatorText::TokenKind kind, const QPalette& palette);

    // The scan points through the view's text, kept up to date with it.
    NCalculatorText::CTokenIndex& tokenIndex() { return index_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void markBrackets();

    CCalcView* view_;
    NCalculatorText::CTokenIndex index_;
    bool enabled_ = false;
};
