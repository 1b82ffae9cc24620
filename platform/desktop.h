#pragma once
#include <functional>
#include <string>

// Hands a file (an absolute path) or a web address to the user's desktop, as the shell's
// "open" verb does. Gives no message when nothing can open it.
void OpenWithDesktop(const std::string& target);
// Tests observe the requests instead; an empty handler restores the desktop.
void SetDesktopOpenHandler(std::function<void(const std::string&)> handler);
