// The line editor of a session at the terminal, on libedit: editing keys,
// the history (Up, Down, Ctrl+R), Tab completion and Ctrl+C, which abandons
// the line being typed.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/LineCompletion.h"

struct editline;
struct historyW;

namespace Tevra::Cli {

class CLineEditor final {
public:
    // Completes the line at a caret, both in UTF-16 code units.
    using Completer = std::function<LineCompletion(std::u16string_view line, std::size_t caret)>;

    explicit CLineEditor(Completer completer);
    ~CLineEditor();
    CLineEditor(const CLineEditor&) = delete;
    CLineEditor& operator=(const CLineEditor&) = delete;

    struct Input {
        enum class Outcome { Line, Interrupted, End };
        Outcome What = Outcome::End;
        std::string Line;  // UTF-8, without its line break
    };

    // Reads one line after prompt. End at the end of the input (Ctrl+D on an
    // empty line) or after SIGTERM or SIGHUP; Interrupted after Ctrl+C.
    Input Read(std::string_view prompt);

    // Adds a line to the history that Up walks through.
    void Remember(const std::string& line);

private:
    static int ReadCharacter(editline* editor, wchar_t* character);
    static unsigned char Complete(editline* editor, int key);
    static unsigned char Interrupt(editline* editor, int key);
    static char* Prompt(editline* editor);
    static CLineEditor& Of(editline* editor);

    void List(const std::vector<std::u16string>& names) const;

    editline* editor_ = nullptr;
    historyW* history_ = nullptr;
    Completer completer_;
    std::string prompt_;
    bool interrupted_ = false;
};

}  // namespace Tevra::Cli
