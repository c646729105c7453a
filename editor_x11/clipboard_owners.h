// The editor windows of this process that hold the CLIPBOARD selection, and
// what they hold. A paste whose owner is a window served by the same thread
// takes the text from here: that window cannot answer the request while its
// thread waits for the answer (two instances in one host share the host's
// editor thread). An owner on another thread answers through the server like
// any other client. [any editor thread]
#pragma once

#include <string>

// `display` is the display's name as the connection reports it (window ids
// are the server's own).
void RecordClipboardOwner(const std::string& display, unsigned long window,
                          const std::string& text);
void ForgetClipboardOwner(const std::string& display, unsigned long window);
// The text of `window` when this thread serves it and it holds the selection.
bool FindOwnedTextOnThisThread(const std::string& display, unsigned long window, std::string* text);
