#include "compressrun.h"

#include "base/errors.h"
#include "base/paths.h"
#include "platform/entries.h"
#include "platform/fileops.h"
#include "platform/files.h"
#include "platform/localtext.h"

#include <QFile>
#include <cstdio>
#include <sys/stat.h>

namespace kinaru {

namespace {

bool taken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string digitsOf(const std::tm& now) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d", (now.tm_mon + 1) % 100, now.tm_hour % 100,
                  now.tm_min % 100, now.tm_sec % 100);
    return digits;
}

// An existing archive that the run replaces is moved aside and deleted only
// once the new one is in place; otherwise it is put back.
class Replaced {
public:
    // Moves path aside when it is a file (a folder is never touched).
    void moveAside(const std::string& path) {
        auto entry = platform::findEntry(path);
        if (!entry || (entry->attributes & platform::kFolderAttribute)) return;
        for (int n = 0; n < 1000; ++n) {
            std::string backup = folderPart(path) + "." + namePart(path) + ".kinaru-old" + (n ? std::to_string(n) : "");
            if (platform::renameNoReplace(path, backup)) {
                original_ = path;
                backup_ = backup;
                return;
            }
            if (!taken(backup)) return;  // the rename failed for another reason
        }
    }
    void commit() {
        if (backup_) platform::deleteFile(*backup_);
        backup_.reset();
    }
    void restore() {
        if (backup_ && platform::renameNoReplace(*backup_, original_)) backup_.reset();
    }
    ~Replaced() { restore(); }

private:
    std::string original_;
    std::optional<std::string> backup_;
};

void enter(const std::string& folder) {
    // An empty folder names where we already are.
    if (folder.empty()) return;
    if (int code = platform::changeDirectory(folder); code != 0) throw InOutError(code);
}

void showResult(RunDialogs& dialogs, int result) {
    if (result != 0) dialogs.message(QString::number(result));
}

// Renames the temporary archive to a free name whose ".exe" is free in the
// current folder too; the old path when that fails.
std::string moveToFreeStubName(const std::string& temporaryArchive, const std::tm& now) {
    for (int n = 1; n < 10000; ++n) {
        std::string moved = folderPart(temporaryArchive) + digitsOf(now) + "-" + std::to_string(n) + ".lzh";
        if (taken(moved) || taken(changeExtension(namePart(moved), ".exe"))) continue;
        return platform::renameNoReplace(temporaryArchive, moved) ? moved : temporaryArchive;
    }
    return temporaryArchive;
}

bool hasQuote(const std::string& text) { return text.find('"') != std::string::npos; }

}  // namespace

std::string temporaryArchivePath(const std::string& workFolder, const std::tm& now) {
    std::string digits = digitsOf(now);
    std::string path = workFolder + digits + ".lzh";
    for (int n = 1; taken(path); ++n) path = workFolder + digits + "-" + std::to_string(n) + ".lzh";
    return path;
}

QString quotedNameMessage(const std::string& name) {
    return QStringLiteral("名前に「\"」を含むため、圧縮できません。\r\n") +
           fromLocal(name);
}

RunEnd runCompression(const RunRequest& request, RunDialogs& dialogs) {
    // A double quote would end the quoted name early and change the command:
    // refuse before anything is deleted or packed.
    for (const std::string& name : request.items)
        if (hasQuote(name)) {
            dialogs.message(quotedNameMessage(name));
            return RunEnd::Stopped;
        }
    if (hasQuote(request.workFolder) || hasQuote(dialogs.archiveName())) {
        dialogs.message(quotedNameMessage(hasQuote(request.workFolder) ? request.workFolder : dialogs.archiveName()));
        return RunEnd::Stopped;
    }

    // A relative work folder (an empty one included) is taken from where we
    // are now: the run changes folders later, and a relative name would then
    // point at some other file, which the clean-up would delete.
    std::string workFolder = request.workFolder;
    if (workFolder.empty() || workFolder.front() != '/') {
        std::string here = platform::currentDirectory();
        workFolder = (here == "/" ? here : here + "/") + workFolder;
    }
    std::string temporaryArchive = temporaryArchivePath(workFolder, request.now);
    if (request.selfExtractor) dialogs.setArchiveName(changeExtension(dialogs.archiveName(), ".exe"));

    Replaced replaced;
    if (platform::searchCode(dialogs.archiveName()) != 2) {
        switch (request.policy) {
        case SameNamePolicy::Replace: replaced.moveAside(dialogs.archiveName()); break;
        case SameNamePolicy::Add:
            // A self-extractor cannot be added to: it is replaced instead.
            if (request.selfExtractor) replaced.moveAside(dialogs.archiveName());
            break;
        case SameNamePolicy::Ask: {
            std::string newName;
            switch (dialogs.askSameName(dialogs.archiveName(), newName)) {
            case SameNameAnswer::Rename: dialogs.setArchiveName(newName); break;
            case SameNameAnswer::DeleteAndContinue: replaced.moveAside(dialogs.archiveName()); break;
            case SameNameAnswer::Continue:
                if (request.selfExtractor) replaced.moveAside(dialogs.archiveName());
                break;
            default: return RunEnd::Abandoned;
            }
            break;
        }
        }
    }

    const std::string archiveName = dialogs.archiveName();
    std::string command = dialogs.archiveCommand(request.selfExtractor ? temporaryArchive : archiveName);
    enter(request.topFolder);
    int result = dialogs.runArchiver(command);
    showResult(dialogs, result);
    bool succeeded = result == 0;

    std::string archiveFolder = folderPart(archiveName);
    if (request.selfExtractor) {
        enter(archiveFolder);
        // The stub is written as the temporary name with ".exe" here; that
        // name must not be somebody else's file.
        if (taken(changeExtension(namePart(temporaryArchive), ".exe")) && taken(temporaryArchive))
            temporaryArchive = moveToFreeStubName(temporaryArchive, request.now);
        std::string stubName = changeExtension(namePart(temporaryArchive), ".exe");
        int stubResult = dialogs.runArchiver(dialogs.selfExtractorCommand(temporaryArchive));
        showResult(dialogs, stubResult);
        platform::deleteFile(temporaryArchive);
        // Without a stub of ours, a file of that name belongs to somebody else.
        bool renamed = stubResult == 0 &&
                       platform::renameNoReplace(stubName, changeExtension(namePart(archiveName), ".exe"));
        succeeded = succeeded && stubResult == 0 && renamed;
    }
    if (succeeded) replaced.commit();
    else replaced.restore();

    if (request.openArchiveFolder) dialogs.openFolder(archiveFolder.empty() ? platform::currentDirectory() : archiveFolder);
    return RunEnd::Completed;
}

}  // namespace kinaru
