#include "fuzz/FuzzChecks.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "core/formats/FileEncoding.h"
#include "core/files/MemoryFile.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

namespace TevraFuzz {

namespace {

// Checks every record as it arrives: a status and a context from the table.
class CheckingLog final : public NCalculatorText::ILogReceiver {
public:
    void Add(const NCalculatorText::LogRecord& record) override
    {
        if (record.Status != 0 && record.Status != 1)
            fault = "a record with status " + std::to_string(record.Status);
        else if (record.Context.empty() || record.Description.empty())
            fault = "a record without context or description";
    }
    void Clear() override {}

    std::string fault;
};

// Cancels the calculation of one input once it has run for the limit. One
// thread serves every input, so that a check costs no thread of its own.
class CWatchdog final {
public:
    CWatchdog() : thread_([this] { watch(); }) {}
    ~CWatchdog()
    {
        {
            const std::lock_guard lock(mutex_);
            quit_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    void arm()
    {
        NCalculatorText::State().CancelRequested = false;
        {
            const std::lock_guard lock(mutex_);
            deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(CalculationLimitMilliseconds);
            armed_ = true;
        }
        changed_.notify_all();
    }
    void disarm()
    {
        const std::lock_guard lock(mutex_);
        armed_ = false;
    }

private:
    void watch()
    {
        std::unique_lock lock(mutex_);
        while (!quit_) {
            if (!armed_) {
                changed_.wait(lock);
                continue;
            }
            if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
                std::chrono::steady_clock::now() >= deadline_) {
                NCalculatorText::State().CancelRequested = true;
                armed_ = false;
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::chrono::steady_clock::time_point deadline_;
    bool armed_ = false;
    bool quit_ = false;
    std::thread thread_;
};

CWatchdog& Watchdog()
{
    static CWatchdog watchdog;
    return watchdog;
}

// Runs a calculation under the watchdog, with the checking log.
template <typename Run> std::string Checked(Run run)
{
    CheckingLog log;
    NCalculatorText::ILogReceiver* previous = NCalculatorText::State().LogReceiver;
    NCalculatorText::State().LogReceiver = &log;
    Watchdog().arm();
    std::string fault = run();
    Watchdog().disarm();
    NCalculatorText::State().CancelRequested = false;
    NCalculatorText::State().LogReceiver = previous;
    return fault.empty() ? log.fault : fault;
}

}  // namespace

std::string CheckCalculationText(std::string_view bytes)
{
    if (NCalculatorText::State().MemoryMap.Count() > 10000)
        NCalculatorText::State().MemoryMap.FreeAll();
    int caret = -1;
    if (bytes.size() >= 2) {
        const int chosen = static_cast<std::uint8_t>(bytes[0]) | (static_cast<std::uint8_t>(bytes[1]) << 8);
        caret = chosen == 0xFFFF ? -1 : chosen;
        bytes.remove_prefix(2);
    }
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                             (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
    if (caret > static_cast<int>(text.size()))
        caret = static_cast<int>(text.size());

    return Checked([&]() -> std::string {
        const int before = caret;
        const bool ok = NCalculatorText::ExecuteText(text, caret);
        if (caret < -1 || caret > static_cast<int>(text.size()))
            return "the caret " + std::to_string(caret) + " lies outside the text";
        if (ok && caret == -1)
            return "a successful run without a caret";
        if (!ok && caret != before && caret != static_cast<int>(text.size()))
            return "a failed run moved the caret to " + std::to_string(caret);
        return {};
    });
}

std::string CheckMemoryAndCalculationFile(std::string_view bytes)
{
    // The text written back as the writers write it, with the bytes behind it
    // where there are any (tevra keeps them), or alone (the editor, once they
    // are given up), reads as the same text again.
    const Tevra::FileText decoded = Tevra::DecodeFileText(bytes);
    const std::string kept = decoded.Tail.empty()
        ? Tevra::EncodeWholeFileText(decoded.Text, decoded.Encoding)
        : Tevra::EncodeFileText(decoded.Text, decoded.Encoding) + decoded.Tail;
    if (Tevra::DecodeFileText(kept).Text != decoded.Text)
        return "the file does not survive being read and written back";
    if (Tevra::DecodeFileText(Tevra::EncodeWholeFileText(decoded.Text, decoded.Encoding)).Text != decoded.Text)
        return "the file's text does not survive being written back alone";

    NCalculatorText::State().MemoryMap.FreeAll();
    return Checked([&]() -> std::string {
        Tevra::ExecuteFileBytes(bytes);
        if (NCalculatorText::State().CancelRequested)
            return {};  // cut short: the memory is whatever the run reached
        // The memory saved, loaded into an empty memory, saves the same.
        const std::string saved = Tevra::MemoryFileBytes(NCalculatorText::State().MemoryMap, true);
        NCalculatorText::State().MemoryMap.FreeAll();
        Tevra::ExecuteFileBytes(saved);
        const std::string again = Tevra::MemoryFileBytes(NCalculatorText::State().MemoryMap, true);
        NCalculatorText::State().MemoryMap.FreeAll();
        if (!NCalculatorText::State().CancelRequested && again != saved)
            return "a saved memory file does not reload into the same cells";
        return {};
    });
}

}  // namespace TevraFuzz
