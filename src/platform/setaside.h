#pragma once
// A file moved aside while a run replaces it. Whatever ends the run, the file
// is either back at its name or deleted because a new one took its place;
// it is never left hidden. Each move is written down first, in a record in
// a folder of records (stateFolder() for the program); the record goes once
// the file is settled. A stop signal settles the file before the program
// ends by it; a run ended by anything else is settled from its record at
// the next start.
#include <memory>
#include <string>

namespace kinaru::platform {

class SetAside {
public:
    // Moves path to backup, never replacing a file there; null when it did
    // not move. One file at a time is guarded against signals.
    static std::unique_ptr<SetAside> move(const std::string& path, const std::string& backup,
                                          const std::string& recordFolder);
    ~SetAside();  // restores
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

    // The new file is complete at the name: the old one goes.
    void commit();
    // Puts the old file back; when its name has been taken meanwhile, the old
    // file stays beside it under a visible name.
    void restore();

    struct Paths {
        std::string original, backup, record;
    };

private:
    explicit SetAside(Paths paths, int lock) : paths_(std::move(paths)), lock_(lock) {}
    void forget();

    Paths paths_;
    int lock_;  // holds the record's lock while the run goes on
    bool settled_ = false;
};

// SIGTERM, SIGHUP and SIGINT put a file set aside back (or delete it when
// its replacement is complete) and then end the program by the signal.
void settleOnStopSignals();

// Settles what runs that ended unsettled left in the folder of records: a
// backup goes back when its name is free and is deleted when a file newer
// than the record has its name; otherwise it is made visible. Records of
// runs still going are left alone.
void settleLeftovers(const std::string& recordFolder);

}  // namespace kinaru::platform
