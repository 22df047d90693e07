// Modal message boxes. There is no window on this platform: the text goes
// to standard error unless a host (or a test) installs its own handler.
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

}  // namespace qx
