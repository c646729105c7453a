// HostMainLoop: a way to run work on the host's editor thread when the host
// does not call often enough. Linux hosts drive their windows from a GLib
// main loop (GTK hosts, and Qt hosts through Qt's GLib event dispatcher); the
// effect does not link GLib but looks for the host's own in the process. The
// loop counts only when the thread opening the editor is the one running it,
// which is what the host is doing while it handles the opening click.
#pragma once

#include <mutex>

class HostMainLoop {
 public:
  using Work = int (*)(void* data);  // answers 0 so it runs once

  // Finds the loop the calling thread runs; false when it runs none of
  // GLib's. [editor thread]
  bool FindForThisThread();
  // Cancels what waits and lets go of the loop. [the loop's thread]
  void Forget();

  // Queues `work(data)` to run once on the loop's thread. At most one work
  // item waits at a time: false while one does, or without a loop. [any thread]
  bool Post(Work work, void* data);
  // The item about to run forgets it was waiting, so another can be posted.
  // [the loop's thread, inside the work]
  void Started();

  HostMainLoop() = default;
  HostMainLoop(const HostMainLoop&) = delete;
  HostMainLoop& operator=(const HostMainLoop&) = delete;
  ~HostMainLoop() { Forget(); }

 private:
  std::mutex mutex_;
  void* context_ = nullptr;  // the GLib main context
  void* waiting_ = nullptr;  // the attached source, referenced
};
