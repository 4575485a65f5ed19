#pragma once
// The compression run, from the compress button to the end of the process,
// written against what it needs of the dialogs so that every step can be
// followed in isolation.
#include "base/choices.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace kinaru {

// What the dialogs hold when the button is pressed.
struct RunRequest {
    std::string workFolder;  // as set; a relative one lies in the output folder
    std::string outputFolder;
    SameNamePolicy policy = SameNamePolicy::Ask;
    bool openArchiveFolder = false;
    bool selfExtractor = false;
    std::vector<std::string> items;
    std::string topFolder;  // empty: the items are relative to where we are
    std::tm now{};          // local time, for the temporary archive's name
};

// What the run asks of the dialogs and the library while it goes.
class RunDialogs {
public:
    virtual ~RunDialogs() = default;
    virtual std::string archiveName() = 0;
    virtual void setArchiveName(const std::string& name) = 0;
    // Shows the same-name dialog for existing; Rename also gives the new name.
    virtual SameNameAnswer askSameName(const std::string& existing, std::string& newName) = 0;
    virtual void message(const std::string& text) = 0;  // UTF-8
    virtual std::string archiveCommand(const std::string& workFolder, const std::string& archivePath) = 0;
    virtual std::string selfExtractorCommand(const std::string& workFolder, const std::string& temporaryArchive) = 0;
    virtual int runArchiver(const std::string& command) = 0;
    virtual void openFolder(const std::string& folder) = 0;
};

enum class RunEnd {
    Completed,  // the dialog closes and the program ends
    Abandoned,  // likewise, without any archiver call
    Stopped,    // a folder could not be entered or made, or a name was refused: the dialog stays open
};

// Throws InOutError when a change of folder fails (the run then stops).
RunEnd runCompression(const RunRequest& request, RunDialogs& dialogs);

// The temporary archive: the work folder, month, hour, minute and second,
// ".lzh". A name already taken gets a suffix, so that the run never adds to
// or overwrites a file it did not create.
std::string temporaryArchivePath(const std::string& workFolder, const std::tm& now);

// The text shown when a name cannot be passed to the archiver.
std::string quotedNameMessage(const std::string& name);

// The text shown in both modes when the archiver library cannot be loaded.
std::string missingLibraryMessage();

// The texts shown when the work folder cannot take the temporary archive and
// when the archive's folder cannot be made.
std::string workFolderMessage(const std::string& folder);
std::string folderMessage(const std::string& folder);

// Creates a folder and its missing parents, outer first; true when the
// folder is there afterwards.
bool createFolders(std::string path);

}  // namespace kinaru
