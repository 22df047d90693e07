#include "platform/message_box.h"

namespace qx {
namespace {
thread_local MessageBoxHandler handler;
}

void AfficherMessage(const std::string& text) {
    if (handler) {
        handler(text);
        return;
    }
    showSystemMessage(text);
}

MessageBoxHandler installerMessageBox(MessageBoxHandler next) {
    MessageBoxHandler previous = std::move(handler);
    handler = std::move(next);
    return previous;
}

}  // namespace qx
