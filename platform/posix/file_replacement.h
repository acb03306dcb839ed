// A file written beside its final name and given that name only when whole.
//
// The new content goes to a file without a name in the target folder
// (O_TMPFILE); only a complete file is linked in under its name, so a
// process killed while writing, a full disk or an aborted transfer leaves
// the old file (or no file) there, never a part of the new one. Where the
// file system cannot make nameless files, a hidden temporary name (see
// IsTemporaryFileName) stands in until the rename; a crash in that moment
// may leave one behind, which no look-up takes for a saved file and
// RemoveTemporaryFiles clears.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/posix/unique_fd.h"

class CFileReplacement {
public:
    CFileReplacement() = default;
    // Discards the new file unless it was committed.
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Starts a new empty file in the open folder `folder` (`mode` less
    // the umask). 0 or a negative errno value.
    int Begin(int folder, mode_t mode = 0666);
    // The same with a nameless file already made (mode 0666 less the
    // umask) in `folder` or another folder of its file system; an empty
    // `nameless` makes one as Begin does.
    int Begin(int folder, CUniqueFd nameless);
    // The new file, open for writing.
    int Fd() const { return mFile.Get(); }
    // Gives the new file the name `name` in the folder. An existing item of
    // the name is replaced when `replace` (a folder gives -EISDIR), else the
    // result is -EEXIST and nothing changes. The descriptor stays open for
    // labels. 0 or a negative errno value.
    int Commit(const char* name, bool replace);
    // After a commit: the file's descriptor, which is then the caller's to
    // close.
    CUniqueFd TakeCommitted() { return mCommitted ? std::move(mFile) : CUniqueFd(); }

private:
    int LinkAs(const char* name);
    void Discard();

    int mFolder = -1;
    CUniqueFd mFile;
    std::string mTemporaryName;  // empty for a nameless file
    bool mCommitted = false;
};

// True for the names CFileReplacement and WriteWholeFile give files while
// they are being written.
bool IsTemporaryFileName(std::string_view name);

// Removes the temporary files a killed writer left in the open folder.
void RemoveTemporaryFiles(int folder);
