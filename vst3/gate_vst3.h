// GateVst3: the effect as one VST 3 object that is component, audio
// processor, edit controller and unit information at once. It owns one
// instance and drives it through the format-neutral EffectInstance seam
// alone (instance/effect_instance.h): lifecycle, parameters, programs,
// state, audio and the editor, so every format runs the same code and saves
// the same chunk, whose extension holds the program, the bypass and the
// values after the 17 (framework/state_extension.h). What the instance asks of its host
// (time info, edit gestures, host name) is answered from the process context
// and the component handler;
// handler calls wait until the instance lock is released (HandlerCalls).
//
// Lifetime: created by the factory with no reference; each face handed to
// the host holds one; the last release deletes the object and the instance.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "engine/gate_params.h"
#include "framework/state_buffer.h"
#include "instance/bypass_crossfade.h"
#include "instance/instance_host.h"
#include "instance/reported_values.h"
#include "vst3/com_face.h"
#include "vst3/handler_calls.h"
#include "vst3/vst3_api.h"

class EffectInstance;
class BlockNotes;
class GatePlugView;

class GateVst3 final : public InstanceHost {
 public:
  static constexpr int kVisibleParams = kHostVisibleParams;  // ids 0-23: the VST 2 parameters
  static constexpr v3_param_id kProgramParamId = 100;        // the program list's selector
  static constexpr v3_param_id kBypassParamId = 101;
  static constexpr int32_t kProgramListId = 1;
  static constexpr double kBypassFadeSeconds = BypassCrossfade::kFadeSeconds;
  // Larger blocks than this are refused by SetupProcessing.
  static constexpr int32_t kMaxBlockFrames = 1 << 20;

  // A new object with no reference, or null when the instance cannot be made.
  static GateVst3* Create();
  // Objects alive in this module (for leak checks). [any thread]
  static int LiveObjects();

  // ---- Reference counting and interface lookup [any host thread] ----
  v3_result Query(const v3_tuid iid, void** obj);
  uint32_t AddRef();
  uint32_t Release();

  // ---- Plug-in base [host main thread] ----
  v3_result Initialize(v3_funknown** context);
  v3_result Terminate();

  // ---- Component [host main thread] ----
  int32_t BusCount(int32_t mediaType, int32_t direction) const;
  v3_result BusInfo(int32_t mediaType, int32_t direction, int32_t index, v3_bus_info* info) const;
  v3_result SetActive(bool active);
  v3_result SetState(v3_bstream** stream);  // also the controller's setComponentState
  v3_result GetState(v3_bstream** stream);

  // ---- Audio processor ----
  v3_result SetBusArrangements(const v3_speaker_arrangement* inputs, int32_t inputCount,
                               const v3_speaker_arrangement* outputs, int32_t outputCount);
  v3_result SetupProcessing(const v3_process_setup* setup);  // [host main thread]
  v3_result SetProcessing(bool on);                          // [audio or main thread]
  v3_result Process(v3_process_data* data);  // [audio thread, takes the instance lock]

  // ---- Edit controller [host main thread] ----
  int32_t ParameterCount() const { return kVisibleParams + 2; }
  v3_result ParameterInfo(int32_t index, v3_param_info* info);
  v3_result ParameterText(v3_param_id id, double normalized, int16_t* text);
  v3_result ParameterFromText(v3_param_id id, const int16_t* text, double* normalized);
  double NormalizedToPlain(v3_param_id id, double normalized);
  double PlainToNormalized(v3_param_id id, double plain);
  double ParameterNormalized(v3_param_id id);
  v3_result SetParameterNormalized(v3_param_id id, double normalized);  // [any thread]
  v3_result SetComponentHandler(v3_component_handler** handler);
  v3_plugin_view** CreateView(const char* name);

  // ---- Unit information [host main thread] ----
  v3_result UnitInfo(int32_t index, v3_unit_info* info);
  v3_result ProgramListInfo(int32_t index, v3_program_list_info* info);
  v3_result ProgramName(int32_t listId, int32_t program, int16_t* name);

  // ---- For the editor view [editor thread] ----
  EffectInstance* Instance() const;
  void ViewGone() { view_ = nullptr; }

  // ---- What the instance asks of its host (InstanceHost) ----
  const HostTime* TransportTime() override;  // [audio thread, lock held]
  void BeginEdit(int32_t index) override;    // [editor thread]
  void PerformEdit(int32_t index, double normalized) override;
  void EndEdit(int32_t index) override;
  void UpdateDisplay() override;  // [host main thread]
  bool ResizeEditor(int32_t width, int32_t height) override;
  void HostIdentity(char* name, int32_t size, int32_t* versionDecimal) override;

  // The static thunks every face shares for its first three slots.
  static v3_result V3_API QueryThunk(void* self, const v3_tuid iid, void** obj);
  static uint32_t V3_API RefThunk(void* self);
  static uint32_t V3_API UnrefThunk(void* self);

 private:
  GateVst3() = default;
  ~GateVst3() override;
  bool CreateInstance();

  // Queues an edit gesture step for the component handler. [editor thread]
  void QueueEdit(HandlerCalls::Kind kind, int32_t index);
  bool OnAudioThread() const;
  // The instance lock's release hook: sends what this thread queued for the
  // component handler. [any thread, the lock just released]
  static void SendHandlerCalls(void* self);
  // Loads a component state's bytes: the chunk, then the extension. [host main thread]
  v3_result LoadState(const StateBuffer& bytes);

  // Processing helpers [audio thread]
  void ApplyParamChange(v3_param_id id, double normalized);
  void BuildTimeInfo(const v3_process_context* context, int32_t offset);
  void RenderSlice(v3_process_data* data, int32_t offset, int32_t frames);
  void ReportChangedParams(v3_process_data* data, int32_t offset);
  // An output point on the program selector: a note-on chose another program.
  void ReportProgram(v3_process_data* data, int32_t offset);
  void SelectProgram(int program);

  ComFace<GateVst3> component_{};
  ComFace<GateVst3> processor_{};
  ComFace<GateVst3> controller_{};
  ComFace<GateVst3> units_{};
  ComFace<GateVst3> requirements_{};
  std::atomic<uint32_t> refCount_{0};

  // The instance, driven through the format-neutral seam alone.
  EffectInstance* instance_ = nullptr;
  int initializeCount_ = 0;
  bool active_ = false;
  char hostName_[128] = {};
  // Ardour sets a program from inside a lock of its own that its restart
  // handler waits for; it reads every value again itself afterwards.
  bool hostRereadsAfterProgram_ = false;
  v3_component_handler** handler_ = nullptr;
  GatePlugView* view_ = nullptr;
  double defaults_[kVisibleParams] = {};

  // Audio state: sized in SetupProcessing, used without allocation in Process.
  double sampleRate_ = 44100.0;
  int32_t maxBlock_ = 1024;
  BypassCrossfade crossfade_;
  ReportedValues reported_;
  std::atomic<bool> bypassed_{false};  // set from any thread, read by the audio thread
  HostTime hostTime_{};
  bool timeInfoValid_ = false;
  std::atomic<bool> inProcess_{false};
  std::atomic<std::thread::id> processThread_{};
  HandlerCalls handlerCalls_;
};
