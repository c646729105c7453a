#include "editor_x11/clipboard_owners.h"

#include <mutex>
#include <thread>
#include <vector>

namespace {

struct OwnerRecord {
  std::string display;
  unsigned long window;
  std::thread::id thread;
  std::string text;
};

std::mutex& OwnersLock() {
  static std::mutex lock;
  return lock;
}

std::vector<OwnerRecord>& Owners() {
  static std::vector<OwnerRecord> owners;
  return owners;
}

// [owners lock held]
void Erase(const std::string& display, unsigned long window) {
  std::vector<OwnerRecord>& owners = Owners();
  for (size_t i = 0; i < owners.size(); ++i) {
    if (owners[i].window == window && owners[i].display == display) {
      owners.erase(owners.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

}  // namespace

void RecordClipboardOwner(const std::string& display, unsigned long window,
                          const std::string& text) {
  std::lock_guard<std::mutex> hold(OwnersLock());
  Erase(display, window);
  Owners().push_back({display, window, std::this_thread::get_id(), text});
}

void ForgetClipboardOwner(const std::string& display, unsigned long window) {
  std::lock_guard<std::mutex> hold(OwnersLock());
  Erase(display, window);
}

bool FindOwnedTextOnThisThread(const std::string& display, unsigned long window,
                               std::string* text) {
  std::lock_guard<std::mutex> hold(OwnersLock());
  for (const OwnerRecord& owner : Owners()) {
    if (owner.window == window && owner.display == display &&
        owner.thread == std::this_thread::get_id()) {
      *text = owner.text;
      return true;
    }
  }
  return false;
}
