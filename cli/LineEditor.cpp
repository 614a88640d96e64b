#include "cli/LineEditor.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <histedit.h>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/History.h"
#include "cli/Interrupts.h"
#include "core/formats/TextCodec.h"

namespace Tevra::Cli {

namespace {

// What the reader hands the editor when Ctrl+C came: the key bound to
// Interrupt.
constexpr wchar_t InterruptKey = L'\x03';
constexpr wchar_t Replacement = 0xFFFD;

// libedit shows and measures characters by the locale's character type:
// the user's, when it is UTF-8, as every line is read as UTF-8.
void UseUtf8Characters()
{
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    if (codeset == nullptr || std::strcmp(codeset, "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

void AppendUtf16(std::u16string& text, char32_t c)
{
    if (c >= 0x10000 && c <= 0x10FFFF) {
        c -= 0x10000;
        text += static_cast<char16_t>(0xD800 + (c >> 10));
        text += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        return;
    }
    text += static_cast<char16_t>(c > 0x10FFFF ? Replacement : c);
}

std::wstring Wide(std::u16string_view text)
{
    std::wstring wide;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        wide += static_cast<wchar_t>(c);
    }
    return wide;
}

// One byte of standard input: 1, or 0 at its end, -1 on an error. A signal
// that the session acts on ends the wait with Signalled.
constexpr int Signalled = -2;

int ReadByte(unsigned char& byte)
{
    for (;;) {
        const ssize_t count = read(STDIN_FILENO, &byte, 1);
        if (count >= 0)
            return static_cast<int>(count);
        if (errno != EINTR)
            return -1;
        if (ReceivedSignal() != 0)
            return 0;
        if (SessionSignalPending())
            return Signalled;
    }
}

}  // namespace

CLineEditor::CLineEditor(Completer completer) : completer_(std::move(completer))
{
    UseUtf8Characters();
    editor_ = el_init("tevra", stdin, stdout, stderr);
    history_ = history_winit();
    HistEventW event{};
    history_w(history_, &event, H_SETSIZE, static_cast<int>(CHistoryFile::MaxLines));
    history_w(history_, &event, H_SETUNIQUE, 1);
    if (editor_ == nullptr)
        return;
    el_set(editor_, EL_CLIENTDATA, this);
    el_set(editor_, EL_EDITOR, "emacs");
    el_set(editor_, EL_PROMPT, &CLineEditor::Prompt);
    el_wset(editor_, EL_HIST, history_w, history_);
    el_set(editor_, EL_GETCFN, &CLineEditor::ReadCharacter);
    // Wide names: the narrow call copies them into memory that the editor
    // never frees.
    el_wset(editor_, EL_ADDFN, L"tevra-complete", L"complete a name", &CLineEditor::Complete);
    el_wset(editor_, EL_ADDFN, L"tevra-interrupt", L"abandon the line", &CLineEditor::Interrupt);
    el_set(editor_, EL_BIND, "^I", "tevra-complete", nullptr);
    el_set(editor_, EL_BIND, "^C", "tevra-interrupt", nullptr);
    // The user's own ~/.editrc, as every libedit program reads it.
    el_source(editor_, nullptr);
}

CLineEditor::~CLineEditor()
{
    if (editor_ != nullptr)
        el_end(editor_);
    history_wend(history_);
}

CLineEditor& CLineEditor::Of(editline* editor)
{
    void* self = nullptr;
    el_get(editor, EL_CLIENTDATA, &self);
    return *static_cast<CLineEditor*>(self);
}

char* CLineEditor::Prompt(editline* editor)
{
    return Of(editor).prompt_.data();
}

CLineEditor::Input CLineEditor::Read(std::string_view prompt)
{
    Input input;
    if (editor_ == nullptr)
        return input;
    prompt_ = std::string(prompt);
    interrupted_ = false;
    int count = 0;
    const wchar_t* line = el_wgets(editor_, &count);
    if (interrupted_) {
        input.What = Input::Outcome::Interrupted;
        return input;
    }
    if (line == nullptr || count <= 0 || ReceivedSignal() != 0)
        return input;
    std::u16string text;
    for (int i = 0; i < count; ++i)
        AppendUtf16(text, static_cast<char32_t>(line[i]));
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r'))
        text.pop_back();
    input.What = Input::Outcome::Line;
    input.Line = Utf16ToUtf8(text);
    return input;
}

void CLineEditor::Remember(const std::string& line)
{
    HistEventW event{};
    const std::wstring wide = Wide(Utf8ToUtf16(line));
    history_w(history_, &event, H_ENTER, wide.c_str());
}

int CLineEditor::ReadCharacter(editline* editor, wchar_t* character)
{
    CLineEditor& self = Of(editor);
    unsigned char byte = 0;
    int got = Signalled;
    while (got == Signalled) {
        if (TakeTerminalChange()) {
            el_resize(editor);
            el_set(editor, EL_REFRESH);
        }
        if (TakeSessionInterrupt()) {
            // Ctrl+C: the line is shown with "^C" behind it, then ends as
            // Enter ends it, and is thrown away.
            self.interrupted_ = true;
            el_wpush(editor, L"\r");
            *character = InterruptKey;
            return 1;
        }
        got = ReadByte(byte);
    }
    if (got <= 0)
        return got;
    // UTF-8, one character at a time; a malformed sequence is one U+FFFD.
    int following = 0;
    char32_t code = byte;
    if (byte >= 0xF0 && byte < 0xF5) {
        following = 3;
        code = byte & 0x07;
    } else if (byte >= 0xE0) {
        following = byte < 0xF0 ? 2 : 0;
        code = byte < 0xF0 ? byte & 0x0F : Replacement;
    } else if (byte >= 0xC2) {
        following = 1;
        code = byte & 0x1F;
    } else if (byte >= 0x80) {
        code = Replacement;
    }
    for (int i = 0; i < following; ++i) {
        do
            got = ReadByte(byte);
        while (got == Signalled);
        if (got <= 0)
            return got;
        if ((byte & 0xC0) != 0x80) {
            code = Replacement;
            break;
        }
        code = (code << 6) | (byte & 0x3F);
    }
    *character = static_cast<wchar_t>(code);
    return 1;
}

unsigned char CLineEditor::Interrupt(editline* editor, int)
{
    const LineInfoW* info = el_wline(editor);
    el_cursor(editor, static_cast<int>(info->lastchar - info->cursor));
    el_winsertstr(editor, L"^C");
    return CC_REFRESH;
}

unsigned char CLineEditor::Complete(editline* editor, int key)
{
    CLineEditor& self = Of(editor);
    const LineInfoW* info = el_wline(editor);
    // The line in UTF-16, and where each of its characters starts there.
    std::u16string line;
    std::vector<std::size_t> starts;
    for (const wchar_t* c = info->buffer; c < info->lastchar; ++c) {
        starts.push_back(line.size());
        AppendUtf16(line, static_cast<char32_t>(*c));
    }
    starts.push_back(line.size());
    const auto caret = static_cast<std::size_t>(info->cursor - info->buffer);
    const LineCompletion completion = self.completer_(line, starts[caret]);
    if (completion.FileName)
        return _el_fn_complete(editor, key);
    if (completion.Inserts.empty())
        return CC_ERROR;
    const auto character = [&starts](std::size_t unit) {
        return static_cast<std::size_t>(std::lower_bound(starts.begin(), starts.end(), unit) - starts.begin());
    };
    const std::size_t start = character(completion.Start);
    std::size_t end = character(completion.End);
    std::u16string insert = completion.Inserts.front();
    if (completion.Inserts.size() > 1) {
        // Several: the start they share, and the list when that adds nothing.
        insert = CommonStart(completion.Inserts);
        end = std::max(start, caret);
        if (insert.size() <= starts[caret] - completion.Start) {
            self.List(completion.Names);
            return CC_REDISPLAY;
        }
    }
    el_cursor(editor, static_cast<int>(end) - static_cast<int>(caret));
    el_deletestr(editor, static_cast<int>(end - start));
    const std::wstring wide = Wide(insert);
    el_winsertstr(editor, wide.c_str());
    return CC_REFRESH;
}

void CLineEditor::List(const std::vector<std::u16string>& names) const
{
    winsize size{};
    const std::size_t width =
        ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : std::size_t{80};
    std::size_t widest = 0;
    for (const auto& name : names)
        widest = std::max(widest, name.size());
    const std::size_t columns = std::max<std::size_t>(1, width / (widest + 2));
    std::string text = "\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string cell = Utf16ToUtf8(names[i]);
        const bool last = (i + 1) % columns == 0 || i + 1 == names.size();
        if (!last)
            cell.resize(cell.size() + widest + 2 - names[i].size(), ' ');
        text += cell + (last ? "\n" : "");
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace Tevra::Cli
