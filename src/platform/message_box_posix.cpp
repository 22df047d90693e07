#include <cstdio>

#include "platform/message_box.h"

namespace qx {

void showSystemMessage(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace qx
