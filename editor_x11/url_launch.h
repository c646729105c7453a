// Hands a web address to the desktop's opener (xdg-open) without waiting for
// it: a shell starts the opener in the background and exits at once, so the
// opener is nobody's child here and leaves no zombie. False when the shell
// could not be started. [editor thread, instance lock not held]
#pragma once

#include <string>

bool LaunchUrlOpener(const std::string& url);
