#pragma once
// What the worker of a -n0 run reports and its window shows, whatever
// toolkit draws the window. The window reads it on a timer, so a fast
// operation never floods the window with updates.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "archive/archive.h"
#include "command/command.h"

namespace progress {

struct Snapshot {
    std::string name;
    int permille = 0;  // of the total bytes
};

class Shared {
public:
    std::atomic<bool> cancel{false};

    Snapshot read() {
        std::lock_guard<std::mutex> lock(m_);
        return {name_, archive::permille(done_, total_)};
    }

    // The operation as the caller asked for it, reporting here and stopping
    // when the window's cancel is pressed as well as when the caller asks.
    archive::Options watching(const archive::Options& opt) {
        archive::Options work = opt;
        work.cancelled = [this, outer = opt.cancelled] { return cancel || (outer && outer()); };
        work.progress = [this, outer = opt.progress](const std::string& name, uint64_t done, uint64_t total) {
            {
                std::lock_guard<std::mutex> lock(m_);
                if (name_ != name) name_ = name;
                done_ = done;
                total_ = total;
            }
            if (outer) outer(name, done, total);
        };
        return work;
    }

private:
    std::mutex m_;
    std::string name_;
    uint64_t done_ = 0, total_ = 0;
};

// The operation of a -n0 run on a thread of its own, dispatched as a call
// without a window is, so that neither window can lose a command; `finished`
// runs on that thread and wakes the window's loop.
class Worker {
public:
    Worker(Shared& shared, const archive::Options& opt, std::function<void()> finished)
        : thread_([this, work = shared.watching(opt), finished = std::move(finished)] {
              rc_ = command::run(work, text_);
              finished();
          }) {}
    ~Worker() { join(); }
    void join() {
        if (thread_.joinable()) thread_.join();
    }
    // Waits for the operation: its result, its output added to `text`.
    int result(std::string& text) {
        join();
        text += text_;
        return rc_;
    }

private:
    std::string text_;
    int rc_ = 0;
    std::thread thread_;  // last: starts once the rest exists
};

// The window's title for a command, in UTF-8.
inline const char* titleFor(char command) {
    switch (command) {
        case 'a': return "圧縮中";
        case 's': return "自己解凍書庫を作成中";
        case 't': return "検査中";
        default: return "解凍中";
    }
}

}  // namespace progress
