#include "platform/safe_file.h"

namespace qx {

void writeFileSafely(const std::string& target, std::string_view content,
                     const std::vector<std::string>& inputs) {
    checkReplaceableTarget(target, inputs);
    PendingFile pending(target, content);
    pending.replace(target);
}

}  // namespace qx
