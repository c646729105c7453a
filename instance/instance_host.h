// InstanceHost: what an effect instance asks of its host, in the effect's
// own terms. A format's glue answers these from its host's interfaces; an
// instance given none asks through the format it was built for.
#pragma once

#include <cstdint>

// The host's transport at the start of the block being rendered.
struct HostTime {
  double samplePosition = 0.0;  // project time in samples
  bool tempoValid = false;
  double tempo = 0.0;  // beats per minute
  bool signatureValid = false;
  int32_t numerator = 0;
  int32_t denominator = 0;
  bool playing = false;
  bool recording = false;
};

class InstanceHost {
 public:
  virtual ~InstanceHost() = default;

  // The transport of the block being rendered; null when the host gave none
  // or the caller is not rendering. [audio thread, lock held]
  virtual const HostTime* TransportTime() = 0;
  // The user's edit gesture on parameter `index`: begins, moves, ends.
  // [editor thread]
  virtual void BeginEdit(int32_t index) = 0;
  virtual void PerformEdit(int32_t index, double normalized) = 0;
  virtual void EndEdit(int32_t index) = 0;
  // Something the host shows (a program name, say) changed. [host main thread]
  virtual void UpdateDisplay() = 0;
  // The editor asks for a frame of this size; false when the host will not.
  // [editor thread]
  virtual bool ResizeEditor(int32_t width, int32_t height) = 0;
  // The host's product name into `size` bytes (empty when unknown) and its
  // version as major * 10000 + minor * 100 + patch (0 when unknown). [host main thread]
  virtual void HostIdentity(char* name, int32_t size, int32_t* versionDecimal) = 0;
};
