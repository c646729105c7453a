#include "tools/host/clap_session.h"

#include <clap/plugin-factory.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tools/host/block_buffers.h"
#include "tools/host/clap_host_platform.h"
#include "tools/host/host_services.h"

namespace {

// The effect lists its factory programs as this stepped parameter, the
// value being the program's number and its text the program's name.
constexpr clap_id kProgramParamId = 100;

}  // namespace

bool IsClapPath(const std::string& path) { return PathHasSuffix(path, ".clap"); }

ClapSession::~ClapSession() { Close(); }

bool ClapSession::Fail(std::string& error, const std::string& reason) {
  error = reason;
  Close();
  return false;
}

template <class Extension>
const Extension* ClapSession::Ext(const char* id) const {
  return static_cast<const Extension*>(plugin_->get_extension(plugin_, id));
}

bool ClapSession::Create(const std::string& path, std::string& error) {
  if (!module_.LoadLibraryOnly(path))
    return Fail(error, "cannot load " + path + ": " + module_.error());
  const auto* entry = static_cast<const clap_plugin_entry_t*>(module_.Symbol("clap_entry"));
  if (entry == nullptr) return Fail(error, "no clap_entry export");
  if (!clap_version_is_compatible(entry->clap_version)) {
    return Fail(error, "the module's interface version is not 1.x");
  }
  if (!entry->init(path.c_str())) return Fail(error, "the entry's init failed");
  entry_ = entry;
  const auto* factory =
      static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  if (factory == nullptr) return Fail(error, "the entry has no plug-in factory");
  if (factory->get_plugin_count(factory) < 1) return Fail(error, "the factory lists no plug-in");
  const clap_plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, 0);
  if (descriptor == nullptr || descriptor->id == nullptr) {
    return Fail(error, "the factory's first plug-in has no descriptor");
  }
  plugin_ = factory->create_plugin(factory, host_.Record(), descriptor->id);
  if (plugin_ == nullptr) return Fail(error, "the factory made no plug-in");
  host_.SetPlugin(plugin_);
  host_.mainThreadWork = [this] { EditorIdle(); };
  if (!plugin_->init(plugin_)) return Fail(error, "the plug-in did not initialise");
  params_ = Ext<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  state_ = Ext<clap_plugin_state_t>(CLAP_EXT_STATE);
  audioPorts_ = Ext<clap_plugin_audio_ports_t>(CLAP_EXT_AUDIO_PORTS);
  notePorts_ = Ext<clap_plugin_note_ports_t>(CLAP_EXT_NOTE_PORTS);
  latency_ = Ext<clap_plugin_latency_t>(CLAP_EXT_LATENCY);
  gui_ = Ext<clap_plugin_gui_t>(CLAP_EXT_GUI);
  if (params_ == nullptr) return Fail(error, "the plug-in has no parameters extension");
  ReadParamInfos();
  return true;
}

void ClapSession::Close() {
  if (plugin_ != nullptr) {
    DetachEditor();
    Restart(false);
    plugin_->destroy(plugin_);
    std::printf("close timers_left=%zu fds_left=%zu\n", host_.TimersLeft(),
                host_.DescriptorsLeft());
    std::fflush(stdout);
    host_.SetPlugin(nullptr);
    host_.mainThreadWork = nullptr;
  }
  plugin_ = nullptr;
  params_ = nullptr;
  state_ = nullptr;
  audioPorts_ = nullptr;
  notePorts_ = nullptr;
  latency_ = nullptr;
  gui_ = nullptr;
  infos_.clear();
  if (entry_ != nullptr) entry_->deinit();
  entry_ = nullptr;
  module_.Unload();
}

void ClapSession::ReadParamInfos() {
  infos_.clear();
  const uint32_t count = params_->count(plugin_);
  for (uint32_t i = 0; i < count; ++i) {
    clap_param_info_t info = {};
    if (!params_->get_info(plugin_, i, &info)) {
      std::fprintf(stderr, "warning: parameter %u has no info\n", i);
      info.id = UINT32_MAX;
    }
    infos_.push_back(info);
  }
}

const clap_param_info_t* ClapSession::InfoAt(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= infos_.size()) return nullptr;
  return &infos_[static_cast<size_t>(index)];
}

const clap_param_info_t* ClapSession::InfoOf(clap_id id) const {
  for (const clap_param_info_t& info : infos_) {
    if (info.id == id) return &info;
  }
  return nullptr;
}

void ClapSession::StopProcessing() {
  if (!processing_) return;
  ClapHost::AudioScope audio(host_);
  plugin_->stop_processing(plugin_);
  processing_ = false;
}

void ClapSession::Restart(bool start) {
  StopProcessing();
  if (active_) {
    plugin_->deactivate(plugin_);
    active_ = false;
  }
  if (!start) return;
  active_ = plugin_->activate(plugin_, sampleRate_, 1, static_cast<uint32_t>(blockSize_));
  if (!active_) std::fprintf(stderr, "warning: the plug-in did not activate\n");
  steadyTime_ = 0;
}

void ClapSession::SetSampleRate(double rate) {
  sampleRate_ = rate;
  if (active_) Restart(true);
}

void ClapSession::SetBlockSize(int32_t frames) {
  blockSize_ = frames;
  if (active_) Restart(true);
}

void ClapSession::SetActive(bool on) {
  if (on != active_) Restart(on);
}

bool ClapSession::Supports64() const {
  if (audioPorts_ == nullptr) return false;
  for (bool input : {true, false}) {
    for (uint32_t i = 0; i < audioPorts_->count(plugin_, input); ++i) {
      clap_audio_port_info_t port = {};
      if (!audioPorts_->get(plugin_, i, input, &port)) return false;
      if (!(port.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS)) return false;
    }
  }
  return true;
}

void ClapSession::PrintInfo() {
  std::printf("info format=clap\ninfo id=%s\ninfo name=%s\n", plugin_->desc->id,
              plugin_->desc->name);
  for (bool input : {true, false}) {
    const uint32_t ports = audioPorts_ ? audioPorts_->count(plugin_, input) : 0;
    clap_audio_port_info_t port = {};
    const bool known = ports > 0 && audioPorts_->get(plugin_, 0, input, &port);
    std::printf("info %s=%u\ninfo %s_ports=%u\n", input ? "inputs" : "outputs",
                known ? port.channel_count : 0, input ? "input" : "output", ports);
  }
  std::printf("info params=%d\ninfo programs=%d\n", ParamCount(), ProgramCount());
  std::printf("info latency=%u\n", latency_ ? latency_->get(plugin_) : 0);
  std::printf("info sample_size_64=%d\n", Supports64() ? 1 : 0);
  for (bool input : {true, false}) {
    const uint32_t ports = notePorts_ ? notePorts_->count(plugin_, input) : 0;
    clap_note_port_info_t port = {};
    const bool known = ports > 0 && notePorts_->get(plugin_, 0, input, &port);
    std::printf("info note_%s_ports=%u dialects=0x%X\n", input ? "input" : "output", ports,
                known ? port.supported_dialects : 0);
  }
  std::printf("info gui_%s=%d\n", ClapEditorApi(),
              gui_ && gui_->is_api_supported(plugin_, ClapEditorApi(), false) ? 1 : 0);
}

int32_t ClapSession::ParamCount() { return static_cast<int32_t>(infos_.size()); }

double ClapSession::Value(clap_id id) const {
  double value = 0.0;
  if (!params_->get_value(plugin_, id, &value)) {
    std::fprintf(stderr, "warning: parameter id %u has no value\n", id);
  }
  return value;
}

std::string ClapSession::Text(clap_id id, double plain) const {
  char text[256] = {};
  if (!params_->value_to_text(plugin_, id, plain, text, sizeof text)) return "";
  text[sizeof text - 1] = '\0';
  return text;
}

ParamReport ClapSession::Param(int32_t index) {
  ParamReport report;
  const clap_param_info_t* info = InfoAt(index);
  if (info == nullptr) {
    std::fprintf(stderr, "warning: parameter %d has no info\n", index);
    return report;
  }
  const double plain = Value(info->id);
  report.name = info->name;
  report.value = ClapNormalizedOfPlain(*info, plain);
  report.display = Text(info->id, plain);
  std::printf("param %d id=%u flags=0x%X min=%.6f max=%.6f default=%.6f plain=%.6f\n", index,
              info->id, info->flags, info->min_value, info->max_value, info->default_value, plain);
  return report;
}

void ClapSession::Flush(const ClapInputEvents& events) {
  if (active_) {
    // Outside process but while active, flush belongs to the audio thread.
    ClapHost::AudioScope audio(host_);
    params_->flush(plugin_, events.List(), output_.List());
  } else {
    params_->flush(plugin_, events.List(), output_.List());
  }
}

void ClapSession::SetPlain(const clap_param_info_t& info, double plain) {
  ClapInputEvents events;
  events.AddParamValue(0, info, plain);
  Flush(events);
}

void ClapSession::SetParam(int32_t index, double normalized) {
  const clap_param_info_t* info = InfoAt(index);
  if (info != nullptr) SetPlain(*info, ClapPlainOfNormalized(*info, normalized));
}

intptr_t ClapSession::SetParamText(int32_t index, const std::string& text) {
  const clap_param_info_t* info = InfoAt(index);
  double plain = 0.0;
  if (info == nullptr || !params_->text_to_value(plugin_, info->id, text.c_str(), &plain)) return 0;
  SetPlain(*info, plain);
  return 1;
}

int32_t ClapSession::ProgramCount() {
  const clap_param_info_t* info = InfoOf(kProgramParamId);
  if (info == nullptr) return 0;
  return static_cast<int32_t>(std::lround(info->max_value - info->min_value)) + 1;
}

std::string ClapSession::ProgramName(int32_t index) {
  const clap_param_info_t* info = InfoOf(kProgramParamId);
  return info ? Text(info->id, info->min_value + index) : std::string();
}

void ClapSession::SelectProgram(int32_t index) {
  const clap_param_info_t* info = InfoOf(kProgramParamId);
  if (info != nullptr) SetPlain(*info, info->min_value + index);
}

int32_t ClapSession::CurrentProgram(std::string& name) {
  const clap_param_info_t* info = InfoOf(kProgramParamId);
  if (info == nullptr) return -1;
  const int32_t program = static_cast<int32_t>(std::lround(Value(info->id) - info->min_value));
  name = ProgramName(program);
  return program;
}

bool ClapSession::SaveState(bool, std::vector<char>& bytes, std::string& error) {
  if (state_ == nullptr) {
    error = "the plug-in has no state extension";
    return false;
  }
  ClapWriteStream stream;
  if (!state_->save(plugin_, stream.Stream())) {
    error = "the plug-in saved no state";
    return false;
  }
  bytes = stream.Bytes();
  return true;
}

intptr_t ClapSession::LoadState(bool, const std::vector<char>& bytes) {
  if (state_ == nullptr) return 0;
  ClapReadStream stream(bytes);
  return state_->load(plugin_, stream.Stream()) ? 1 : 0;
}

void ClapSession::FillTransport(clap_event_transport_t& transport) const {
  const HostServices& host = Host();
  transport = {};
  transport.header = {sizeof transport, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
  const double seconds = host.samplePosition / host.sampleRate;
  const double quarters = seconds * host.tempo / 60.0;
  const double quartersPerBar = host.timeSigNumerator * 4.0 / host.timeSigDenominator;
  const double bars = std::floor(quarters / quartersPerBar);
  transport.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE |
                    CLAP_TRANSPORT_HAS_SECONDS_TIMELINE | CLAP_TRANSPORT_HAS_TIME_SIGNATURE;
  if (host.transport != Transport::Stopped) transport.flags |= CLAP_TRANSPORT_IS_PLAYING;
  if (host.transport == Transport::Recording) transport.flags |= CLAP_TRANSPORT_IS_RECORDING;
  transport.song_pos_beats = std::llround(quarters * CLAP_BEATTIME_FACTOR);
  transport.song_pos_seconds = std::llround(seconds * CLAP_SECTIME_FACTOR);
  transport.tempo = host.tempo;
  transport.bar_start = std::llround(bars * quartersPerBar * CLAP_BEATTIME_FACTOR);
  transport.bar_number = static_cast<int32_t>(bars);
  transport.tsig_num = static_cast<uint16_t>(host.timeSigNumerator);
  transport.tsig_denom = static_cast<uint16_t>(host.timeSigDenominator);
}

bool ClapSession::Render(const WavAudio& input, ProcessCallback callback,
                         const std::vector<TimedParamChange>& changes,
                         const std::vector<TimedNoteOn>& notes, WavAudio& output,
                         std::string& error) {
  if (callback == ProcessCallback::Accumulating) {
    error = "CLAP has no accumulating processing";
    return false;
  }
  const bool wide = callback == ProcessCallback::DoubleReplacing;
  if (wide && !Supports64()) {
    error = "the plug-in's audio ports take no 64-bit samples";
    return false;
  }
  if (!active_) Restart(true);
  if (!active_) {
    error = "the plug-in did not activate";
    return false;
  }
  if (!processing_) {
    ClapHost::AudioScope audio(host_);
    processing_ = plugin_->start_processing(plugin_);
  }
  HostServices& host = Host();
  const size_t block = static_cast<size_t>(blockSize_);
  const size_t frames = input.frames();
  output.sampleRate = input.sampleRate;
  output.format = WavFormat::Float32;
  output.channels.assign(2, std::vector<float>(frames));
  BlockBuffers buffers(block);
  clap_audio_buffer_t inBus = {}, outBus = {};
  inBus.channel_count = outBus.channel_count = 2;
  if (wide) {
    inBus.data64 = buffers.inPointers64;
    outBus.data64 = buffers.outPointers64;
  } else {
    inBus.data32 = buffers.inPointers32;
    outBus.data32 = buffers.outPointers32;
  }
  size_t nextChange = 0;
  ClapInputEvents events;
  output_.Reset();
  for (size_t start = 0; start < frames; start += block) {
    const size_t count = std::min(block, frames - start);
    buffers.Fill(input, start, count);
    const int64_t blockStart = static_cast<int64_t>(start);
    const int64_t blockEnd = blockStart + static_cast<int64_t>(count);
    events.Clear();
    for (; nextChange < changes.size() && changes[nextChange].offset < blockEnd; ++nextChange) {
      const TimedParamChange& change = changes[nextChange];
      const clap_param_info_t* info = InfoAt(change.index);
      if (info == nullptr) continue;
      const int64_t at = std::max<int64_t>(0, change.offset - blockStart);
      events.AddParamValue(static_cast<uint32_t>(at), *info,
                           ClapPlainOfNormalized(*info, change.value));
    }
    for (const TimedNoteOn& note : notes) {
      if (!NoteGoesWithBlock(note.offset, blockStart, blockEnd, static_cast<int64_t>(frames))) {
        continue;
      }
      // Event times lie inside the block: earlier notes come first, later ones last.
      const int64_t at = std::min<int64_t>(static_cast<int64_t>(count) - 1,
                                           std::max<int64_t>(0, note.offset - blockStart));
      events.AddNote(static_cast<uint32_t>(at), note.note, note.velocity / 127.0,
                     note.velocity > 0);
    }
    events.SortByTime();
    clap_event_transport_t transport;
    FillTransport(transport);
    clap_process_t process = {};
    process.steady_time = steadyTime_;
    process.frames_count = static_cast<uint32_t>(count);
    process.transport = host.timeInfoAvailable ? &transport : nullptr;
    process.audio_inputs = &inBus;
    process.audio_outputs = &outBus;
    process.audio_inputs_count = process.audio_outputs_count = 1;
    process.in_events = events.List();
    process.out_events = output_.List();
    clap_process_status status;
    host.processing = true;
    {
      ClapHost::AudioScope audio(host_);
      status = plugin_->process(plugin_, &process);
    }
    host.processing = false;
    if (status == CLAP_PROCESS_ERROR) {
      error = "the plug-in's process failed at sample " + std::to_string(start);
      return false;
    }
    buffers.Drain(output, start, count, wide);
    steadyTime_ += static_cast<int64_t>(count);
    if (host.Advancing()) host.samplePosition += static_cast<double>(count);
  }
  std::printf("process output_changes=%d\n", output_.ParamValues());
  output_.Reset();
  return true;
}

bool ClapSession::EditorSize(int& width, int& height, std::string& error) {
  DetachEditor();
  const char* api = ClapEditorApi();
  if (gui_ == nullptr || !gui_->is_api_supported(plugin_, api, false)) {
    std::printf("editor none\n");
    error = std::string("the plug-in offers no embedded ") + api + " editor";
    return false;
  }
  if (!gui_->create(plugin_, api, false)) {
    error = "the plug-in made no editor";
    return false;
  }
  guiCreated_ = true;
  uint32_t w = 0, h = 0;
  if (!gui_->get_size(plugin_, &w, &h)) {
    DetachEditor();
    error = "the editor has no size";
    return false;
  }
  std::printf("editor rect=0,0,%u,%u\n", h, w);
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

intptr_t ClapSession::AttachEditor(void* parent) {
  if (!guiCreated_) return 0;
  const clap_window_t window = ClapEditorWindow(parent);
  if (!gui_->set_parent(plugin_, &window)) return 0;
  return gui_->show(plugin_) ? 1 : 0;
}

intptr_t ClapSession::DetachEditor() {
  if (!guiCreated_) return 0;
  gui_->hide(plugin_);
  gui_->destroy(plugin_);
  guiCreated_ = false;
  return 1;
}

void ClapSession::EditorIdle() {
  if (plugin_ == nullptr) return;
  host_.RunTimersAndDescriptors();
  if (host_.TakeCallbackRequest()) plugin_->on_main_thread(plugin_);
  if (host_.TakeFlushRequest()) Flush(ClapInputEvents());
}

void ClapSession::SetEditorWindowResizer(std::function<bool(int width, int height)> resize) {
  host_.resizeWindow = std::move(resize);
}

intptr_t ClapSession::SetEditorScale(float factor) {
  if (!guiCreated_ || !gui_->set_scale(plugin_, factor)) return 0;
  // The editor may have asked for its new size already; else the host asks.
  uint32_t w = 0, h = 0;
  if (gui_->get_size(plugin_, &w, &h) && host_.resizeWindow) {
    host_.resizeWindow(static_cast<int>(w), static_cast<int>(h));
  }
  return 1;
}
