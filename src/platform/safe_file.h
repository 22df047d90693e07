// Files written so that nothing is lost: the bytes go to a temporary file
// beside the target, every write and the close are checked, the data is
// flushed to disk, and only then does the temporary take the target's name.
// On any failure the target is as it was, the temporary is gone, and the
// error is 75 with a French description naming the path and the system's
// reason. Paths are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qx {

// A temporary file holding the whole content, flushed to disk, waiting to
// take its final name. Removed when dropped unless it was put in place.
class PendingFile {
public:
    // Writes `content` to a new temporary file in the folder of `target`.
    PendingFile(const std::string& target, std::string_view content);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Puts the file in place of `target`, replacing whatever file is there.
    void replace(const std::string& target);
    // Puts the file at `target` only when nothing is there yet: false, and
    // the temporary kept, when something is.
    bool publishNew(const std::string& target);

private:
    std::string temporary_;
    int slot_ = -1;  // where an interruption finds it
};

// Refuses, with 75, a target that an ordinary write could damage or that
// could not be replaced: a folder, a device, a pipe or socket, a read-only
// file, or the same file (whatever the spelling or link) as one of `inputs`.
// A target that does not exist yet is accepted.
void checkReplaceableTarget(const std::string& target, const std::vector<std::string>& inputs);

// checkReplaceableTarget, then the whole content put in place of `target`.
void writeFileSafely(const std::string& target, std::string_view content,
                     const std::vector<std::string>& inputs = {});

// For a program (not a library inside a host): a Ctrl-C, kill or hang-up
// removes the temporaries being written before the program ends as the
// signal would have ended it.
void removeTemporariesOnInterruption();

}  // namespace qx
