// What the plug-in's open UI offers the plug-in side: the editor's edits go
// to the host as port writes, and its size changes as a resize request.
// The UI registers one while it is open. [editor thread]
#pragma once

#include <cstdint>

class Lv2UiLink {
 public:
  virtual ~Lv2UiLink() = default;
  // The user moved control port `port` to `value` (the parameter's own units).
  virtual void WritePort(uint32_t port, float value) = 0;
  // The user grabs (true) or lets go of (false) control port `port`.
  virtual void TouchPort(uint32_t port, bool grabbed) = 0;
  // The editor switched to a new size; false when the host will not follow.
  virtual bool RequestSize(int32_t width, int32_t height) = 0;
};
