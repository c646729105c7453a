// GateClap: the effect as one CLAP plug-in object. It owns one instance and
// drives it through the format-neutral EffectInstance seam alone
// (instance/effect_instance.h), as the VST 3 glue does: the same
// parameters under the same ids, the program selector (id 100) and bypass
// (id 101), the same state bytes, sample-accurate parameter events, notes,
// and the editor. What the instance asks of its host (time info, edit
// gestures, editor size, host name) is answered from the process call's
// transport and the host's extensions; edits the editor makes go back to
// the host as output events (EditEvents).
//
// Lifetime: made by the factory, deleted by the plug-in's destroy.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "clap/clap_api.h"
#include "clap/edit_events.h"
#include "engine/gate_params.h"
#include "framework/state_buffer.h"
#include "instance/bypass_crossfade.h"
#include "instance/host_time_at.h"
#include "instance/instance_host.h"
#include "instance/reported_values.h"

class BlockNotes;
class EffectInstance;

class GateClap final : public InstanceHost {
 public:
  static constexpr int kVisibleParams = kHostVisibleParams;  // ids 0-23: the instance's parameters
  static constexpr clap_id kProgramParamId = 100;            // the program list's selector
  static constexpr clap_id kBypassParamId = 101;
  // Larger blocks than this are refused by activate.
  static constexpr uint32_t kMaxBlockFrames = 1 << 20;
  // A state larger than this is not ours; reading stops there.
  static constexpr int32_t kMaxStateBytes = 1 << 20;

  // A new object for `host`, or null when the instance cannot be made.
  // [host main thread]
  static GateClap* Create(const clap_host_t* host);
  static GateClap* Of(const clap_plugin_t* plugin);
  const clap_plugin_t* Plugin() const { return &plugin_; }
  EffectInstance* Instance() const { return instance_; }

  // ---- Plug-in [host main thread] ----
  bool Init();
  void Destroy();
  bool Activate(double sampleRate, uint32_t maxFrames);
  void Deactivate();
  const void* Extension(const char* id) const;
  // ---- [audio thread] ----
  bool StartProcessing();
  void StopProcessing();
  void Reset();
  clap_process_status Process(const clap_process_t* process);  // takes the instance lock

  // ---- Parameters [host main thread; Flush on the audio thread while active] ----
  uint32_t ParamCount() const { return kVisibleParams + 2; }
  bool ParamInfo(uint32_t index, clap_param_info_t* info);
  bool ParamValue(clap_id id, double* value);
  bool ValueToText(clap_id id, double value, char* display, uint32_t size);
  bool TextToValue(clap_id id, const char* display, double* value);
  void Flush(const clap_input_events_t* in, const clap_output_events_t* out);

  // ---- State [host main thread] ----
  bool SaveState(const clap_ostream_t* stream);
  bool LoadState(const clap_istream_t* stream);

  // ---- Editor [host main thread] ----
  bool GuiApiSupported(const char* api, bool floating) const;
  bool GuiCreate(const char* api, bool floating);
  void GuiDestroy();
  bool GuiSetScale(double scale);
  bool GuiSize(uint32_t* width, uint32_t* height);
  bool GuiSetParent(const clap_window_t* window);
  void OnTimer(clap_id timer);

  // ---- What the instance asks of its host (InstanceHost) ----
  const HostTime* TransportTime() override;  // [audio thread, lock held]
  void BeginEdit(int32_t index) override;    // [editor thread]
  void PerformEdit(int32_t index, double normalized) override;
  void EndEdit(int32_t index) override;
  void UpdateDisplay() override;  // [host main thread]
  bool ResizeEditor(int32_t width, int32_t height) override;
  void HostIdentity(char* name, int32_t size, int32_t* versionDecimal) override;

 private:
  explicit GateClap(const clap_host_t* host);
  ~GateClap() override;
  bool CreateInstance();
  bool OnAudioThread() const;
  // The instance lock's release hook: asks the host for a flush when the
  // editor queued edits while nothing processes. [any thread, the lock just released]
  static void AfterUnlock(void* self);
  // Queues an edit gesture step for the host. [editor thread]
  void QueueEdit(EditEvents::Kind kind, int32_t index, double normalized = 0.0);
  // A host extension by id; null when the host has none.
  const void* HostExtension(const char* id) const;

  // Parameter values in the host's units. [lock held]
  double PlainValue(clap_id id);
  // Applies one input event (a parameter value; notes are read separately).
  void ApplyEvent(const clap_event_header_t* event);
  void ApplyParamValue(clap_id id, double plain);
  void SelectProgram(int program);
  // Sends the queued edits, then the values the instance changed itself.
  void EmitOutputs(const clap_output_events_t* out, uint32_t time);
  void EmitEdits(const clap_output_events_t* out, uint32_t time);
  void EmitChanges(const clap_output_events_t* out, uint32_t time);
  // A value event; true when the host took it (or there is no host list).
  bool PushValue(const clap_output_events_t* out, uint32_t time, clap_id id, double plain);

  // Processing helpers [audio thread, lock held]
  void RenderSlice(const clap_process_t* process, bool wide, int32_t offset, int32_t frames);
  // The block's transport, as facts for each slice's time info.
  void ReadTransport(const clap_event_transport_t* transport);
  // The block's note-ons, of either dialect, on the one note port.
  void ReadNoteOns(const clap_input_events_t* in, int32_t frames, BlockNotes* notes) const;

  // The host's editor timer: the editor's ticks on a window with no timer
  // of its own. [host main thread]
  void StartEditorTimer();
  void StopEditorTimer();

  clap_plugin_t plugin_{};
  const clap_host_t* host_;
  const clap_host_params_t* hostParams_ = nullptr;
  const clap_host_thread_check_t* threadCheck_ = nullptr;
  const clap_host_timer_support_t* hostTimers_ = nullptr;
  const clap_host_gui_t* hostGui_ = nullptr;

  // The instance, driven through the format-neutral seam alone.
  EffectInstance* instance_ = nullptr;
  bool active_ = false;
  double defaults_[kVisibleParams] = {};

  // Audio state: sized in Activate, used without allocation in Process.
  double sampleRate_ = 44100.0;
  int32_t maxBlock_ = 1024;
  BypassCrossfade crossfade_;
  ReportedValues reported_;
  std::atomic<bool> bypassed_{false};
  // A note-on changed the program; the host hears of it in the next outputs.
  bool programToReport_ = false;
  TransportFacts transport_{};
  bool transportValid_ = false;
  HostTime hostTime_{};
  bool timeInfoValid_ = false;
  std::atomic<bool> processing_{false};  // between start and stop processing
  std::atomic<bool> inProcess_{false};
  std::atomic<std::thread::id> processThread_{};
  EditEvents edits_;  // [lock held]
  std::atomic<bool> flushWanted_{false};

  // The editor.
  bool guiCreated_ = false;
  bool guiOpen_ = false;
  bool timerRegistered_ = false;
  // The editor size the host's window has, in percent, and whether the
  // editor is going back to it after a refused resize. [editor thread]
  int hostPercent_ = 100;
  bool revertingSize_ = false;
  clap_id timerId_ = CLAP_INVALID_ID;
};
