// The one door into the expression engine: runs the statements of a
// calculation text, writes each result behind its "=" and moves the caret.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/EngineStack.h"

namespace NCalculatorText {

class CNode;

// What the statement loop does after a statement failed: stop there (Calculate
// all in the editor, tevra on a file), or go on with the next one (Load memory
// and Execute, so that a partly bad file loads the cells of its good lines).
enum class AfterFailure { Stop, Continue };

// Runs the statement at caret (a UTF-16 position), or every statement when
// caret is -1. Changes text and caret in place; true when every statement that
// ran evaluated successfully. With Continue and caret -1 every statement runs
// whatever the others did, its reports join the one log of the run, and a
// failing one is left without a result; the caret stays -1 when one failed.
// A cancel (Cancel.h) stops either kind of run as a failing statement stops
// the first. The cost is proportional to the text's length.
// Safe on any thread, whatever its stack (see EngineStack.h), as long as one
// calculation runs at a time.
bool ExecuteText(std::u16string& text, int& caret, AfterFailure after = AfterFailure::Stop);

// Receives the resulting text of a run piece by piece, in text order.
class ITextSink {
public:
    virtual void Append(std::u16string_view piece) = 0;

protected:
    ~ITextSink() = default;
};

// Keeps nothing: for runs whose text is thrown away (Load memory, Execute).
class CDiscardedText final : public ITextSink {
public:
    void Append(std::u16string_view) override {}
};

// Runs text as ExecuteText does, but leaves text as it is and hands the
// resulting text to out as it is made, so that a caller writing it to a file
// or a stream never holds a second copy of a large text. Pieces never split
// a character. The run holds nothing of the text beyond the statement at hand.
bool ExecuteTextInto(std::u16string_view text, int& caret, ITextSink& out, AfterFailure after = AfterFailure::Stop);

// Parses and evaluates one expression; on success writes out and LastResult.
bool EvaluateStatement(const std::u16string& expression, double& out);

// Builds the node tree of one expression under root, a plain empty CNode.
bool ParseStatement(CNode& root, std::u16string text);

// Blanks the "//" and "/* */" comments of a working copy, keeping positions.
// False for a "/*" without a closing "*/".
bool StripComments(std::u16string& text);

// The spellings of one function or keyword: every name the parser takes for
// it, in the order of the parser's table.
using NameGroup = std::vector<std::u16string_view>;

// The function names of the language (each takes an argument), one group per
// function, in the order of the parser's table; and the keywords that stand
// alone (constants, the last result, random numbers) the same way.
std::vector<NameGroup> FunctionNameGroups();
std::vector<NameGroup> KeywordNameGroups();

// Puts the process-wide state (EngineState.h: calculation context, evaluation
// state, bracket table, memory, settings, random generator) back to its value
// at program start, keeping the log's receiver. For tests and for tools that
// run several sessions.
void ResetProcessState();

}  // namespace NCalculatorText
