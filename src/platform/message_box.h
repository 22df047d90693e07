// Modal message boxes, shown on the calling thread unless a host (or a test)
// installs its own handler. On Windows a message box; where there is no
// window (POSIX, a service, a machine without desktop) the text goes to
// standard error instead.
#pragma once

#include <functional>
#include <string>

namespace qx {

using MessageBoxHandler = std::function<void(const std::string& text)>;

// Shows a message with an OK button and no title of its own.
void AfficherMessage(const std::string& text);

// Installs a handler for the calling thread; an empty one restores the default.
// Returns the previous handler.
MessageBoxHandler installerMessageBox(MessageBoxHandler handler);

// What AfficherMessage does without a handler.
void showSystemMessage(const std::string& text);

}  // namespace qx
