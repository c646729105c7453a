#include "tools/host/vst3_session.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tools/host/block_buffers.h"
#include "tools/host/host_services.h"
#include "vst3/text16.h"

namespace {

constexpr v3_speaker_arrangement kStereo = V3_SPEAKER_L | V3_SPEAKER_R;
constexpr const char* kAudioEffectCategory = "Audio Module Class";

using GetFactoryProc = void* (*)();
using ModuleEntryProc = bool (*)(void*);
using ModuleExitProc = bool (*)();

std::string Text8(const int16_t* text) {
  char buffer[256];
  CopyFromText16(buffer, sizeof buffer, text);
  return buffer;
}

}  // namespace

bool IsVst3Path(const std::string& path) { return PathHasSuffix(path, ".vst3"); }

Vst3Session::~Vst3Session() { Close(); }

bool Vst3Session::Fail(std::string& error, const std::string& reason) {
  error = reason;
  Close();
  return false;
}

bool Vst3Session::Create(const std::string& path, std::string& error) {
  const std::string binary = Vst3BundleBinary(path);
  if (!module_.LoadLibraryOnly(binary))
    return Fail(error, "cannot load " + binary + ": " + module_.error());
  if (auto entry = reinterpret_cast<ModuleEntryProc>(module_.Symbol("ModuleEntry"))) {
    if (!entry(nullptr)) return Fail(error, "ModuleEntry failed");
  } else if (auto init = reinterpret_cast<ModuleExitProc>(module_.Symbol("InitDll"))) {
    if (!init()) return Fail(error, "InitDll failed");
  }
  auto getFactory = reinterpret_cast<GetFactoryProc>(module_.Symbol("GetPluginFactory"));
  if (!getFactory) return Fail(error, "no GetPluginFactory export");
  auto** factory = static_cast<v3_plugin_factory**>(getFactory());
  if (!factory) return Fail(error, "GetPluginFactory returned no factory");

  v3_tuid classId = {};
  bool found = false;
  const int32_t classes = v3_cpp_obj(factory)->num_classes(factory);
  for (int32_t i = 0; i < classes && !found; ++i) {
    v3_class_info info = {};
    if (v3_cpp_obj(factory)->get_class_info(factory, i, &info) != kResultOk) continue;
    if (std::strncmp(info.category, kAudioEffectCategory, sizeof info.category) != 0) continue;
    std::memcpy(classId, info.class_id, sizeof classId);
    found = true;
  }
  void* object = nullptr;
  if (found) {
    v3_cpp_obj(factory)->create_instance(factory, classId, v3_component_iid, &object);
  }
  v3_cpp_obj_unref(factory);
  if (!found) return Fail(error, "the factory has no audio effect class");
  if (!object) return Fail(error, "the factory made no component");
  component_ = static_cast<v3_component**>(object);

  if (v3_cpp_obj_initialize(component_, host_.Context()) != kResultOk) {
    return Fail(error, "the component did not initialise");
  }
  if (v3_cpp_obj_query_interface(component_, v3_audio_processor_iid, &processor_) != kResultOk) {
    return Fail(error, "the component is no audio processor");
  }
  if (v3_cpp_obj_query_interface(component_, v3_edit_controller_iid, &controller_) != kResultOk) {
    // A separate controller class, created and initialised on its own.
    v3_tuid controllerId = {};
    controller_ = nullptr;
    if (v3_cpp_obj(component_)->get_controller_class_id(component_, controllerId) == kResultOk) {
      auto** again = static_cast<v3_plugin_factory**>(getFactory());
      void* made = nullptr;
      v3_cpp_obj(again)->create_instance(again, controllerId, v3_edit_controller_iid, &made);
      v3_cpp_obj_unref(again);
      controller_ = static_cast<v3_edit_controller**>(made);
      if (controller_) v3_cpp_obj_initialize(controller_, host_.Context());
      separateController_ = controller_ != nullptr;
    }
    if (!controller_) return Fail(error, "the plug-in has no edit controller");
  }
  v3_cpp_obj(controller_)->set_component_handler(controller_, host_.Handler());
  v3_unit_information** units = nullptr;
  if (v3_cpp_obj_query_interface(controller_, v3_unit_information_iid, &units) == kResultOk) {
    units_ = units;
  }
  v3_speaker_arrangement in = kStereo, out = kStereo;
  if (v3_cpp_obj(processor_)->set_bus_arrangements(processor_, &in, 1, &out, 1) != kResultOk) {
    return Fail(error, "the processor refused stereo in and out");
  }
  for (int32_t direction : {V3_INPUT, V3_OUTPUT}) {
    v3_cpp_obj(component_)->activate_bus(component_, V3_AUDIO, direction, 0, true);
  }
  return true;
}

void Vst3Session::Close() {
  ReleaseView();
  if (component_ && active_) Restart(sampleSize_, false);
  if (controller_) {
    v3_cpp_obj(controller_)->set_component_handler(controller_, nullptr);
    if (separateController_) v3_cpp_obj_terminate(controller_);
  }
  if (component_) v3_cpp_obj_terminate(component_);
  uint32_t left = 0;
  for (void* face : {static_cast<void*>(units_), static_cast<void*>(controller_),
                     static_cast<void*>(processor_), static_cast<void*>(component_)}) {
    if (face) left = static_cast<v3_funknown*>(*static_cast<void**>(face))->unref(face);
  }
  const bool hadPlugin = component_ != nullptr;
  units_ = nullptr;
  controller_ = nullptr;
  processor_ = nullptr;
  component_ = nullptr;
  separateController_ = false;
  if (hadPlugin) {
    std::printf("close references=%u host_references=%u\n", left, host_.References());
    std::fflush(stdout);
  }
  if (auto exit = reinterpret_cast<ModuleExitProc>(module_.Symbol("ModuleExit"))) {
    exit();
  } else if (auto exitDll = reinterpret_cast<ModuleExitProc>(module_.Symbol("ExitDll"))) {
    exitDll();
  }
  module_.Unload();
}

void Vst3Session::Restart(int32_t sampleSize, bool start) {
  if (active_) {
    v3_cpp_obj(processor_)->set_processing(processor_, false);
    v3_cpp_obj(component_)->set_active(component_, false);
    active_ = false;
  }
  sampleSize_ = sampleSize;
  if (!start) return;
  v3_process_setup setup = {V3_REALTIME, sampleSize_, blockSize_, sampleRate_};
  v3_cpp_obj(processor_)->setup_processing(processor_, &setup);
  v3_cpp_obj(component_)->set_active(component_, true);
  v3_cpp_obj(processor_)->set_processing(processor_, true);
  active_ = true;
}

void Vst3Session::SetSampleRate(double rate) {
  sampleRate_ = rate;
  if (active_) Restart(sampleSize_, true);
}

void Vst3Session::SetBlockSize(int32_t frames) {
  blockSize_ = frames;
  if (active_) Restart(sampleSize_, true);
}

void Vst3Session::SetActive(bool on) {
  if (on != active_) Restart(sampleSize_, on);
}

void Vst3Session::PrintInfo() {
  std::printf("info format=vst3\n");
  v3_bus_info bus = {};
  for (int32_t direction : {V3_INPUT, V3_OUTPUT}) {
    const int32_t buses = v3_cpp_obj(component_)->get_bus_count(component_, V3_AUDIO, direction);
    int32_t channels = 0;
    if (buses > 0 &&
        v3_cpp_obj(component_)->get_bus_info(component_, V3_AUDIO, direction, 0, &bus) ==
            kResultOk) {
      channels = bus.channel_count;
    }
    std::printf("info %s=%d\n", direction == V3_INPUT ? "inputs" : "outputs", channels);
  }
  std::printf("info params=%d\ninfo programs=%d\n", ParamCount(), ProgramCount());
  std::printf("info latency=%u\n", v3_cpp_obj(processor_)->get_latency_samples(processor_));
  std::printf(
      "info sample_size_64=%d\n",
      v3_cpp_obj(processor_)->can_process_sample_size(processor_, V3_SAMPLE_64) == kResultOk);
}

v3_param_id Vst3Session::ParamId(int32_t index, int32_t* flags) {
  v3_param_info info = {};
  if (v3_cpp_obj(controller_)->get_parameter_info(controller_, index, &info) != kResultOk) {
    if (flags) *flags = 0;
    return UINT32_MAX;
  }
  if (flags) *flags = info.flags;
  return info.param_id;
}

int32_t Vst3Session::ParamCount() {
  return v3_cpp_obj(controller_)->get_parameter_count(controller_);
}

ParamReport Vst3Session::Param(int32_t index) {
  ParamReport report;
  v3_param_info info = {};
  if (v3_cpp_obj(controller_)->get_parameter_info(controller_, index, &info) != kResultOk) {
    std::fprintf(stderr, "warning: parameter %d has no info\n", index);
    return report;
  }
  report.name = Text8(info.title);
  report.label = Text8(info.units);
  report.value = v3_cpp_obj(controller_)->get_parameter_normalised(controller_, info.param_id);
  v3_str_128 display = {};
  v3_cpp_obj(controller_)
      ->get_parameter_string_for_value(controller_, info.param_id, report.value, display);
  report.display = Text8(display);
  std::printf("param %d id=%u steps=%d default=%.6f flags=0x%X short=\"%s\"\n", index,
              info.param_id, info.step_count, info.default_normalised_value,
              static_cast<unsigned>(info.flags), Text8(info.short_title).c_str());
  return report;
}

void Vst3Session::SetParam(int32_t index, double normalized) {
  const v3_param_id id = ParamId(index);
  v3_cpp_obj(controller_)->set_parameter_normalised(controller_, id, normalized);
  pending_.push_back({index, 0, normalized});
}

intptr_t Vst3Session::SetParamText(int32_t index, const std::string& text) {
  const v3_param_id id = ParamId(index);
  v3_str_128 typed = {};
  CopyToText16(typed, 128, text.c_str());
  double normalized = 0.0;
  if (v3_cpp_obj(controller_)
          ->get_parameter_value_for_string(controller_, id, typed, &normalized) != kResultOk) {
    return 0;
  }
  SetParam(index, normalized);
  return 1;
}

bool Vst3Session::FindProgramParam(v3_param_id& id, int32_t& count) {
  for (int32_t i = 0; i < ParamCount(); ++i) {
    v3_param_info info = {};
    v3_cpp_obj(controller_)->get_parameter_info(controller_, i, &info);
    if (!(info.flags & V3_PARAM_PROGRAM_CHANGE)) continue;
    id = info.param_id;
    count = info.step_count + 1;
    return true;
  }
  return false;
}

int32_t Vst3Session::ProgramCount() {
  if (!units_) return 0;
  v3_program_list_info list = {};
  if (v3_cpp_obj(units_)->get_program_list_count(units_) < 1 ||
      v3_cpp_obj(units_)->get_program_list_info(units_, 0, &list) != kResultOk) {
    return 0;
  }
  return list.programCount;
}

std::string Vst3Session::ProgramName(int32_t index) {
  v3_program_list_info list = {};
  if (!units_ || v3_cpp_obj(units_)->get_program_list_info(units_, 0, &list) != kResultOk)
    return "";
  v3_str_128 name = {};
  v3_cpp_obj(units_)->get_program_name(units_, list.id, index, name);
  return Text8(name);
}

void Vst3Session::SelectProgram(int32_t index) {
  v3_param_id id;
  int32_t count;
  if (!FindProgramParam(id, count) || count < 2) return;
  const double normalized = static_cast<double>(index) / (count - 1);
  v3_cpp_obj(controller_)->set_parameter_normalised(controller_, id, normalized);
}

int32_t Vst3Session::CurrentProgram(std::string& name) {
  v3_param_id id;
  int32_t count;
  if (!FindProgramParam(id, count) || count < 2) return -1;
  const double normalized = v3_cpp_obj(controller_)->get_parameter_normalised(controller_, id);
  const int32_t program = static_cast<int32_t>(std::lround(normalized * (count - 1)));
  name = ProgramName(program);
  return program;
}

bool Vst3Session::SaveState(bool, std::vector<char>& bytes, std::string& error) {
  MemoryStream stream;
  if (v3_cpp_obj(component_)->get_state(component_, stream.Stream()) != kResultOk) {
    error = "the component gave no state";
    return false;
  }
  bytes = stream.Bytes();
  return true;
}

intptr_t Vst3Session::LoadState(bool, const std::vector<char>& bytes) {
  MemoryStream stream(bytes);
  const bool loaded = v3_cpp_obj(component_)->set_state(component_, stream.Stream()) == kResultOk;
  stream.Rewind();
  v3_cpp_obj(controller_)->set_component_state(controller_, stream.Stream());
  return loaded ? 1 : 0;
}

void Vst3Session::FillContext(v3_process_context& context) const {
  const HostServices& host = Host();
  context = {};
  context.sample_rate = sampleRate_;
  context.project_time_in_samples = static_cast<int64_t>(std::llround(host.samplePosition));
  context.continuous_time_in_samples = context.project_time_in_samples;
  context.bpm = host.tempo;
  context.project_time_quarters = host.samplePosition / host.sampleRate * host.tempo / 60.0;
  const double quartersPerBar = host.timeSigNumerator * 4.0 / host.timeSigDenominator;
  context.bar_position_quarters =
      std::floor(context.project_time_quarters / quartersPerBar) * quartersPerBar;
  context.time_sig_numerator = host.timeSigNumerator;
  context.time_sig_denom = host.timeSigDenominator;
  context.state = V3_PROCESS_CTX_TEMPO_VALID | V3_PROCESS_CTX_PROJECT_TIME_VALID |
                  V3_PROCESS_CTX_BAR_POSITION_VALID | V3_PROCESS_CTX_TIME_SIG_VALID |
                  V3_PROCESS_CTX_CONT_TIME_VALID;
  if (host.transport == Transport::Playing) context.state |= V3_PROCESS_CTX_PLAYING;
  if (host.transport == Transport::Recording) {
    context.state |= V3_PROCESS_CTX_PLAYING | V3_PROCESS_CTX_RECORDING;
  }
}

bool Vst3Session::Render(const WavAudio& input, ProcessCallback callback,
                         const std::vector<TimedParamChange>& changes,
                         const std::vector<TimedNoteOn>& notes, WavAudio& output,
                         std::string& error) {
  if (callback == ProcessCallback::Accumulating) {
    error = "VST 3 has no accumulating processing";
    return false;
  }
  const int32_t size = callback == ProcessCallback::DoubleReplacing ? V3_SAMPLE_64 : V3_SAMPLE_32;
  if (!active_ || size != sampleSize_) Restart(size, true);
  HostServices& host = Host();
  const size_t block = static_cast<size_t>(blockSize_);
  const size_t frames = input.frames();
  output.sampleRate = input.sampleRate;
  output.format = WavFormat::Float32;
  output.channels.assign(2, std::vector<float>(frames));
  BlockBuffers buffers(block);
  std::vector<TimedParamChange> timed = pending_;
  pending_.clear();
  timed.insert(timed.end(), changes.begin(), changes.end());
  std::stable_sort(
      timed.begin(), timed.end(),
      [](const TimedParamChange& a, const TimedParamChange& b) { return a.offset < b.offset; });
  size_t nextChange = 0;
  ParamChangeList inputChanges, outputChanges;
  EventList events;
  for (size_t start = 0; start < frames; start += block) {
    const size_t count = std::min(block, frames - start);
    buffers.Fill(input, start, count);
    inputChanges.Clear();
    outputChanges.Clear();
    for (; nextChange < timed.size(); ++nextChange) {
      const TimedParamChange& change = timed[nextChange];
      if (change.offset >= static_cast<int64_t>(start + count)) break;
      const int64_t at = std::max<int64_t>(0, change.offset - static_cast<int64_t>(start));
      inputChanges.QueueFor(ParamId(change.index))->Add(static_cast<int32_t>(at), change.value);
    }
    events.Clear();
    const int64_t blockStart = static_cast<int64_t>(start);
    for (const TimedNoteOn& note : notes) {
      if (!NoteGoesWithBlock(note.offset, blockStart, blockStart + static_cast<int64_t>(count),
                             static_cast<int64_t>(frames))) {
        continue;
      }
      events.AddNoteOn(static_cast<int32_t>(note.offset - blockStart), note.note,
                       static_cast<float>(note.velocity) / 127.0f);
    }
    v3_audio_bus_buffers inBus = {}, outBus = {};
    inBus.num_channels = outBus.num_channels = 2;
    if (size == V3_SAMPLE_64) {
      inBus.channel_buffers_64 = buffers.inPointers64;
      outBus.channel_buffers_64 = buffers.outPointers64;
    } else {
      inBus.channel_buffers_32 = buffers.inPointers32;
      outBus.channel_buffers_32 = buffers.outPointers32;
    }
    v3_process_context context;
    FillContext(context);
    v3_process_data data = {};
    data.process_mode = V3_REALTIME;
    data.symbolic_sample_size = size;
    data.nframes = static_cast<int32_t>(count);
    data.num_input_buses = data.num_output_buses = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
    data.input_params = inputChanges.Changes();
    data.output_params = outputChanges.Changes();
    data.input_events = events.Events().empty() ? nullptr : events.List();
    data.ctx = host.timeInfoAvailable ? &context : nullptr;
    host.processing = true;
    v3_cpp_obj(processor_)->process(processor_, &data);
    host.processing = false;
    for (const auto& queue : outputChanges.Queues()) {
      outputChanges_ += static_cast<int>(queue->Points().size());
    }
    buffers.Drain(output, start, count, size == V3_SAMPLE_64);
    if (host.Advancing()) host.samplePosition += static_cast<double>(count);
  }
  std::printf("process output_changes=%d\n", outputChanges_);
  outputChanges_ = 0;
  return true;
}

bool Vst3Session::EditorSize(int& width, int& height, std::string& error) {
  ReleaseView();
  view_ = v3_cpp_obj(controller_)->create_view(controller_, "editor");
  if (!view_) {
    std::printf("editor none\n");
    error = "the controller offers no editor view";
    return false;
  }
  if (v3_cpp_obj(view_)->is_platform_type_supported(view_, V3_VIEW_PLATFORM_TYPE_HWND) !=
      kResultOk) {
    ReleaseView();
    error = "the view does not take an HWND";
    return false;
  }
  v3_view_rect rect = {};
  v3_cpp_obj(view_)->get_size(view_, &rect);
  std::printf("editor rect=%d,%d,%d,%d\n", rect.top, rect.left, rect.bottom, rect.right);
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
  v3_cpp_obj(view_)->set_frame(view_, host_.Frame());
  return true;
}

intptr_t Vst3Session::AttachEditor(void* parent) {
  if (!view_) return 0;
  return v3_cpp_obj(view_)->attached(view_, parent, V3_VIEW_PLATFORM_TYPE_HWND) == kResultOk ? 1
                                                                                             : 0;
}

intptr_t Vst3Session::DetachEditor() {
  if (!view_) return 0;
  const intptr_t result = v3_cpp_obj(view_)->removed(view_) == kResultOk ? 1 : 0;
  ReleaseView();
  return result;
}

void Vst3Session::SetEditorWindowResizer(std::function<bool(int width, int height)> resize) {
  host_.resizeWindow = std::move(resize);
}

intptr_t Vst3Session::SetEditorScale(float factor) {
  v3_plugin_view_content_scale** scale = nullptr;
  if (!view_ ||
      v3_cpp_obj_query_interface(view_, v3_plugin_view_content_scale_iid, &scale) != kResultOk) {
    return 0;
  }
  const bool taken = v3_cpp_obj(scale)->set_content_scale_factor(scale, factor) == kResultOk;
  v3_cpp_obj_unref(scale);
  return taken ? 1 : 0;
}

void Vst3Session::ReleaseView() {
  if (!view_) return;
  v3_cpp_obj(view_)->set_frame(view_, nullptr);
  v3_cpp_obj_unref(view_);
  view_ = nullptr;
}
