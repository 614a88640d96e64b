// The document's commands on the memory and the files that feed it (Execute,
// Memory Load, Memory Save and Memory Free), each with its file dialog or
// question, running the files on the document's runner without touching the
// editor's text.
#pragma once

class CCalcRunner;
class ICalcDocPrompts;
struct CalcFileDialogRequest;

class CCalcMemoryCommands final {
public:
    CCalcMemoryCommands(CCalcRunner& runner, ICalcDocPrompts* prompts) : runner_(runner), prompts_(prompts) {}

    void setPrompts(ICalcDocPrompts* prompts) { prompts_ = prompts; }

    // Asks for a calculation file and runs its statements.
    void executeFile();
    // Asks for a memory file and runs it, which stores its cells.
    void loadMemory();
    // Asks for a file and saves every cell (all) or the ticked cells.
    void saveMemory(bool all);
    // Frees every cell, after asking when the settings want a question.
    void freeMemory();

private:
    // Asks for a file and runs its statements against the memory.
    void chooseAndExecuteFile(const CalcFileDialogRequest& request);

    CCalcRunner& runner_;
    ICalcDocPrompts* prompts_;
};
