#include "compressrun.h"

#include "base/errors.h"
#include "base/paths.h"
#include "core/itemlist.h"
#include "platform/entries.h"
#include "platform/fileops.h"
#include "platform/files.h"
#include "platform/setaside.h"
#include "platform/settingsplace.h"
#include "unlha/unlha.h"
#include "unlha32.h"

#include <cstdio>

namespace kinaru {

namespace {

bool taken(const std::string& path) { return platform::nameTaken(path); }

std::string digitsOf(const std::tm& now) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d%02d%02d%02d", (now.tm_mon + 1) % 100, now.tm_hour % 100,
                  now.tm_min % 100, now.tm_sec % 100);
    return digits;
}

using platform::isFolder;
using platform::realPath;

// The folders the archive command packs with all they hold, as real paths.
std::vector<std::string> packedFolders(const RunRequest& request) {
    std::vector<std::string> folders;
    for (std::string item : request.items) {
        if (item.ends_with(kFolderMarker)) item.resize(item.size() - kFolderMarker.size());
        std::string path = request.topFolder + item;
        if (isFolder(path))
            if (std::string real = realPath(path); !real.empty()) folders.push_back(real);
    }
    return folders;
}

// The folder nearest to folder that no packed folder holds, so that what is
// put there is not packed.
std::string outsidePacked(const std::string& folder, const std::vector<std::string>& packed) {
    std::string at = realPath(folder);
    if (at.empty()) return folder;
    const std::string root = folderPart(at).substr(0, isAbsolutePath(at) && kSeparator == '\\' ? 3 : 1);
    for (bool moved = true; moved && at != root;) {
        moved = false;
        for (const std::string& tree : packed)
            if (tree != root && (at == tree || at.starts_with(tree + kSeparator))) {
                at = tree.substr(0, tree.rfind(kSeparator));
                if (at.size() < root.size()) at = root;
                moved = true;
            }
    }
    return withSeparator(at);
}

// An existing archive that the run replaces is moved aside and deleted only
// once the new one is in place; otherwise it is put back, also when a signal
// or a crash ends the run (see platform/setaside.h).
class Replaced {
public:
    explicit Replaced(std::vector<std::string> packed) : packed_(std::move(packed)) {}

    // Moves path aside when it is a file (a folder is never touched), out of
    // the folders being packed.
    void moveAside(const std::string& path) {
        auto entry = platform::findEntry(path);
        if (!entry || (entry->attributes & platform::kFolderAttribute)) return;
        std::string folder = outsidePacked(folderPart(path), packed_);
        std::string records = platform::stateFolder();
        for (int n = 0; n < 1000; ++n) {
            std::string backup = folder + "." + namePart(path) + ".kinaru-old" + (n ? std::to_string(n) : "");
            if ((aside_ = platform::SetAside::move(path, backup, records))) return;
            if (!taken(backup)) return;  // the rename failed for another reason
        }
    }
    void commit() {
        if (aside_) aside_->commit();
    }
    void restore() {
        if (aside_) aside_->restore();
    }

private:
    std::vector<std::string> packed_;
    std::unique_ptr<platform::SetAside> aside_;
};

void enter(const std::string& folder) {
    // An empty folder names where we already are.
    if (folder.empty()) return;
    if (FileResult failed = platform::changeDirectory(folder)) throw InOutError(failed);
}

// The number as the archiver gave it, then what it means in one line.
void showResult(RunDialogs& dialogs, int result) {
    if (result == 0) return;
    std::string meaning = result == Unlha::kLibraryMissing ? missingLibraryMessage() : std::string(UnlhaErrorText(result));
    dialogs.message(meaning.empty() ? std::to_string(result) : std::to_string(result) + "\r\n" + meaning);
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

std::string quotedNameMessage(const std::string& name) { return "名前に「\"」を含むため、圧縮できません。\r\n" + name; }

std::string missingLibraryMessage() {
    return "書庫ライブラリ " + Unlha::libraryName() +
           " が見つかりません。\r\nkinaru と同じフォルダか、システムのライブラリのフォルダに置いてください。";
}

std::string workFolderMessage(const std::string& folder) { return "作業ﾌｫﾙﾀﾞがないか、書き込めません。\n" + folder; }

std::string folderMessage(const std::string& folder) { return "出力ディレクトリを作成できません。\n" + folder; }

bool createFolders(std::string path) {
    if (!path.empty() && path.back() == kSeparator) path.pop_back();
    // The root, and the current folder of a relative path, are always there.
    if (path.empty() || isFolder(path)) return true;
    std::string parent = folderPart(path);
    if (parent != path) createFolders(parent);
    platform::createFolder(path);
    return isFolder(path);
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

    // A relative work folder (an empty one included) lies in the output
    // folder, for the temporary archive and the command alike: the run
    // changes folders later, and a relative name would then point elsewhere.
    std::string workFolder = request.workFolder;
    if (!isAbsolutePath(workFolder)) workFolder = withSeparator(request.outputFolder) + workFolder;
    // Nothing is written where it cannot be: a missing temporary folder would
    // otherwise put the temporary archive somewhere else.
    std::string workPlace = folderPart(workFolder + "x");
    if (!platform::canCreateIn(workPlace)) {
        dialogs.message(workFolderMessage(workFolder));
        return RunEnd::Stopped;
    }
    std::string temporaryArchive = temporaryArchivePath(workFolder, request.now);
    if (request.selfExtractor) dialogs.setArchiveName(changeExtension(dialogs.archiveName(), ".exe"));

    Replaced replaced(packedFolders(request));
    // A missing folder holds no archive: the folder is made below.
    FileFailure search = platform::searchCode(dialogs.archiveName()).failure;
    if (search != FileFailure::MissingEntry && search != FileFailure::MissingFolder) {
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
    std::string archiveFolder = folderPart(archiveName);
    if (!archiveFolder.empty() && !createFolders(archiveFolder)) {
        dialogs.message(folderMessage(archiveFolder));
        return RunEnd::Stopped;
    }
    std::string command = dialogs.archiveCommand(workFolder, request.selfExtractor ? temporaryArchive : archiveName);
    enter(request.topFolder);
    int result = dialogs.runArchiver(command);
    showResult(dialogs, result);
    // A warning still wrote the whole archive: the old one is not wanted back.
    bool succeeded = result == 0 || UNLHA_IS_WARNING(result);

    if (request.selfExtractor) {
        enter(archiveFolder);
        // The stub is written as the temporary name with ".exe" here; that
        // name must not be somebody else's file.
        if (taken(changeExtension(namePart(temporaryArchive), ".exe")) && taken(temporaryArchive))
            temporaryArchive = moveToFreeStubName(temporaryArchive, request.now);
        std::string stubName = changeExtension(namePart(temporaryArchive), ".exe");
        int stubResult = dialogs.runArchiver(dialogs.selfExtractorCommand(workFolder, temporaryArchive));
        showResult(dialogs, stubResult);
        platform::deleteFile(temporaryArchive);
        // Without a stub of ours, a file of that name belongs to somebody else.
        bool renamed =
            stubResult == 0 && platform::renameNoReplace(stubName, changeExtension(namePart(archiveName), ".exe"));
        succeeded = succeeded && stubResult == 0 && renamed;
    }
    if (succeeded)
        replaced.commit();
    else
        replaced.restore();

    if (request.openArchiveFolder)
        dialogs.openFolder(archiveFolder.empty() ? platform::currentDirectory() : archiveFolder);
    return RunEnd::Completed;
}

}  // namespace kinaru
