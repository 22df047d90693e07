#include "platform/message_box.h"

#include <cstdio>

namespace qx {
namespace {
thread_local MessageBoxHandler handler;
}

void AfficherMessage(const std::string& text) {
    if (handler) {
        handler(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

MessageBoxHandler installerMessageBox(MessageBoxHandler next) {
    MessageBoxHandler previous = std::move(handler);
    handler = std::move(next);
    return previous;
}

}  // namespace qx
