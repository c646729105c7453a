// Two host extensions the extracted header set does not carry, declared in
// their published shape so the test host can offer them: the log a plug-in
// prints through, and the file-descriptor watch a Linux plug-in's event loop
// asks for.
#pragma once

#include <clap/host.h>
#include <clap/plugin.h>

extern "C" {

static const char kClapExtLog[] = "clap.log";

enum {
  kClapLogDebug = 0,
  kClapLogInfo = 1,
  kClapLogWarning = 2,
  kClapLogError = 3,
  kClapLogFatal = 4,
  kClapLogHostMisbehaving = 5,
  kClapLogPluginMisbehaving = 6,
};

struct ClapHostLog {
  void(CLAP_ABI* log)(const clap_host_t* host, int32_t severity, const char* message);
};

static const char kClapExtPosixFdSupport[] = "clap.posix-fd-support";

enum {
  kClapPosixFdRead = 1 << 0,
  kClapPosixFdWrite = 1 << 1,
  kClapPosixFdError = 1 << 2,
};

struct ClapPluginPosixFdSupport {
  void(CLAP_ABI* on_fd)(const clap_plugin_t* plugin, int fd, uint32_t flags);
};

struct ClapHostPosixFdSupport {
  bool(CLAP_ABI* register_fd)(const clap_host_t* host, int fd, uint32_t flags);
  bool(CLAP_ABI* modify_fd)(const clap_host_t* host, int fd, uint32_t flags);
  bool(CLAP_ABI* unregister_fd)(const clap_host_t* host, int fd);
};

}  // extern "C"
