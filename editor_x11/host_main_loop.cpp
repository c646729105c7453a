#include "editor_x11/host_main_loop.h"

#include <dlfcn.h>

#include <atomic>

namespace {

// The few GLib calls used, found in the host's process by name.
struct GLibCalls {
  void* (*contextDefault)();
  int (*contextIsOwner)(void* context);
  void* (*idleSourceNew)();
  void (*sourceSetPriority)(void* source, int priority);
  void (*sourceSetCallback)(void* source, HostMainLoop::Work work, void* data,
                            void (*notify)(void*));
  unsigned (*sourceAttach)(void* source, void* context);
  void (*sourceDestroy)(void* source);
  void (*sourceUnref)(void* source);
};

// Its default priority: before the host's redraws, as a timer would run.
constexpr int kPriorityDefault = 0;

template <class Function>
bool Find(const char* name, Function* function) {
  *function = reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
  return *function != nullptr;
}

// Null when the process has no GLib (yet: a host may load it later).
const GLibCalls* FindGLib() {
  static GLibCalls calls = {};
  static std::atomic<bool> found{false};
  if (found) return &calls;
  static std::mutex finding;
  std::lock_guard<std::mutex> hold(finding);
  if (found) return &calls;
  const bool all = Find("g_main_context_default", &calls.contextDefault) &&
                   Find("g_main_context_is_owner", &calls.contextIsOwner) &&
                   Find("g_idle_source_new", &calls.idleSourceNew) &&
                   Find("g_source_set_priority", &calls.sourceSetPriority) &&
                   Find("g_source_set_callback", &calls.sourceSetCallback) &&
                   Find("g_source_attach", &calls.sourceAttach) &&
                   Find("g_source_destroy", &calls.sourceDestroy) &&
                   Find("g_source_unref", &calls.sourceUnref);
  found = all;
  return all ? &calls : nullptr;
}

}  // namespace

bool HostMainLoop::FindForThisThread() {
  Forget();
  const GLibCalls* glib = FindGLib();
  if (glib == nullptr) return false;
  void* context = glib->contextDefault();
  if (context == nullptr || glib->contextIsOwner(context) == 0) return false;
  std::lock_guard<std::mutex> hold(mutex_);
  context_ = context;
  return true;
}

bool HostMainLoop::Post(Work work, void* data) {
  const GLibCalls* glib = FindGLib();
  std::lock_guard<std::mutex> hold(mutex_);
  if (context_ == nullptr || glib == nullptr || waiting_ != nullptr) return false;
  void* source = glib->idleSourceNew();
  glib->sourceSetPriority(source, kPriorityDefault);
  glib->sourceSetCallback(source, work, data, nullptr);
  glib->sourceAttach(source, context_);
  waiting_ = source;
  return true;
}

void HostMainLoop::Forget() {
  std::lock_guard<std::mutex> hold(mutex_);
  context_ = nullptr;
  if (waiting_ == nullptr) return;
  const GLibCalls* glib = FindGLib();
  glib->sourceDestroy(waiting_);
  glib->sourceUnref(waiting_);
  waiting_ = nullptr;
}

void HostMainLoop::Started() {
  const GLibCalls* glib = FindGLib();
  std::lock_guard<std::mutex> hold(mutex_);
  if (waiting_ == nullptr) return;
  // The loop keeps its own reference until the work answers 0.
  glib->sourceUnref(waiting_);
  waiting_ = nullptr;
}
