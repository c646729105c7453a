// A loaded plug-in module file: the shared library and its VST 2 entry.
// One implementation per platform (plugin_module_posix.cpp with dlopen,
// plugin_module_win32.cpp with LoadLibraryA). [host main thread]
#pragma once

#include <string>

#include "framework/vst2_interface.h"

class PluginModule {
 public:
  PluginModule() = default;
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // Loads the file and looks up `VSTPluginMain` (or, failing that, `main`).
  // On failure returns false and leaves a readable reason in error().
  bool Load(const std::string& path);
  // Loads the file only, for modules with entries of another format.
  bool LoadLibraryOnly(const std::string& path);
  // An exported symbol of the loaded library, or null.
  void* Symbol(const char* name) const;
  // Unloads the library; the entry becomes null.
  void Unload();

  vst2::PluginEntryProc entry() const { return entry_; }
  const std::string& error() const { return error_; }

 private:
  void* handle_ = nullptr;
  vst2::PluginEntryProc entry_ = nullptr;
  std::string error_;
};

// The binary inside a VST 3 bundle folder for this platform
// (NAME.vst3/Contents/x86_64-linux/NAME.so, or .../x86_64-win/NAME.vst3);
// a path that is not a folder is taken as the binary itself.
std::string Vst3BundleBinary(const std::string& bundle);
