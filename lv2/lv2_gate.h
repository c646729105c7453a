// Lv2Gate: the effect as one LV2 plug-in instance. It owns one instance and
// drives it through the format-neutral EffectInstance seam alone
// (instance/effect_instance.h): control ports become parameter values at
// the start of each block, the event port's MIDI notes and transport
// positions become queued notes and the host time of the frames after
// them, and the state is the bytes every format saves. What the instance
// asks of its host is answered here: the transport from the event port, the
// editor's edits and size through the open UI (Lv2UiLink).
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "instance/instance_host.h"
#include "lv2/lv2_ports.h"
#include "lv2/lv2_transport.h"
#include "lv2/lv2_urids.h"

class EffectInstance;
class Lv2UiLink;

class Lv2Gate final : public InstanceHost {
 public:
  // Blocks are rendered in pieces of at most this many frames unless the
  // host announces its own maximum.
  static constexpr int32_t kDefaultMaxBlock = 4096;
  static constexpr int32_t kLargestMaxBlock = 1 << 20;

  // A new plug-in instance at `sampleRate`, or null when the instance cannot
  // be made. [host main thread]
  static Lv2Gate* Create(double sampleRate, const LV2_Feature* const* features);
  ~Lv2Gate() override;  // [host main thread]
  Lv2Gate(const Lv2Gate&) = delete;
  Lv2Gate& operator=(const Lv2Gate&) = delete;

  // ---- The plug-in descriptor's entries ----
  void ConnectPort(uint32_t port, void* data);  // [audio thread class]
  void Activate();                              // [host main thread]
  void Deactivate();                            // [host main thread]
  void Run(uint32_t frames);                    // [audio thread, takes the instance lock]

  // ---- State [host main thread, never during Run] ----
  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // ---- For the UI [editor thread] ----
  EffectInstance* Instance() const { return instance_; }
  // The open UI, which receives the editor's edits until it detaches.
  void AttachUi(Lv2UiLink* ui) { ui_ = ui; }
  void DetachUi(Lv2UiLink* ui);

  // ---- What the instance asks of its host (InstanceHost) ----
  const HostTime* TransportTime() override;  // [audio thread, lock held]
  void BeginEdit(int32_t index) override;    // [editor thread]
  void PerformEdit(int32_t index, double normalized) override;
  void EndEdit(int32_t index) override;
  void UpdateDisplay() override;  // [host main thread]
  bool ResizeEditor(int32_t width, int32_t height) override;
  void HostIdentity(char* name, int32_t size, int32_t* versionDecimal) override;

 private:
  Lv2Gate() = default;
  bool Init(double sampleRate, const LV2_Feature* const* features);
  bool OnAudioThread() const;

  // Processing helpers [audio thread, lock held]
  void ApplyControlPorts();
  // Renders frames start..end-1 with the notes that fall there, in pieces
  // of at most maxBlock_.
  void RenderSlice(int32_t start, int32_t end, int32_t blockFrames);
  // Queues the note-ons of the event port at frames start..end-1, offset
  // from `start`; a note past the block's end belongs to its last frame.
  void QueueNotes(int32_t start, int32_t end, int32_t blockFrames);
  // The control ports' current values become the values last applied.
  void TakePortValuesAsApplied();

  EffectInstance* instance_ = nullptr;
  int32_t paramCount_ = 0;
  Lv2Urids ids_{};
  int32_t maxBlock_ = kDefaultMaxBlock;
  bool active_ = false;

  // Ports as the host connected them.
  const float* audioIn_[2] = {};
  float* audioOut_[2] = {};
  const LV2_Atom_Sequence* events_ = nullptr;
  const float* paramPorts_[kLv2MaxParamPorts] = {};
  // The value each control port had when last applied (or when the
  // instance's value was taken over from a restored state).
  float applied_[kLv2MaxParamPorts] = {};

  Lv2Transport transport_;
  const HostTime* sliceTime_ = nullptr;  // the transport at the rendering slice's start
  std::atomic<bool> inRun_{false};
  std::atomic<std::thread::id> runThread_{};
  std::atomic<Lv2UiLink*> ui_{nullptr};
};
