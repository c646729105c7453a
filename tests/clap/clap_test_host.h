// A tiny CLAP host for the glue's tests: the host record (params with its
// flush requests and rescans, timer support, gui, and a thread check when
// offered), input event lists built by the test, output lists that keep what
// the plug-in pushes, memory streams that move bytes in pieces of a chosen
// size, the plug-in made by the module's own factory, and an instance driven
// straight to compare renders against.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "clap/clap_api.h"
#include "clap/gate_clap.h"
#include "clap/plugin_descriptor.h"
#include "instance/effect_instance.h"
#include "instance/instance_host.h"
#include "tools/host/block_buffers.h"

// The fixed seed, or QUORVEL_SEED's to replay another; printed either way.
inline uint32_t TestSeed(uint32_t fixed) {
  const char* text = std::getenv("QUORVEL_SEED");
  const uint32_t seed = text ? static_cast<uint32_t>(std::strtoul(text, nullptr, 0)) : fixed;
  std::printf("seed %u (QUORVEL_SEED replays it)\n", seed);
  return seed;
}

struct TestHost {
  clap_host_t host = {};
  clap_host_params_t params = {};
  clap_host_timer_support_t timers = {};
  clap_host_thread_check_t threads = {};
  clap_host_gui_t gui = {};
  bool offerThreadCheck = false;
  bool onAudioThread = false;  // what the thread check answers
  bool acceptResize = true;    // what request_resize answers
  uint32_t askedWidth = 0, askedHeight = 0;
  int flushRequests = 0, rescans = 0, timersRegistered = 0;

  TestHost() {
    host = {CLAP_VERSION,
            this,
            "Test Host",
            "",
            "",
            "2.5.1",
            &Extension,
            [](const clap_host_t*) {},
            [](const clap_host_t*) {},
            [](const clap_host_t*) {}};
    params.rescan = [](const clap_host_t* h, clap_param_rescan_flags) { Self(h)->rescans++; };
    params.clear = [](const clap_host_t*, clap_id, clap_param_clear_flags) {};
    params.request_flush = [](const clap_host_t* h) { Self(h)->flushRequests++; };
    timers.register_timer = [](const clap_host_t* h, uint32_t, clap_id* id) {
      *id = 7;
      return ++Self(h)->timersRegistered > 0;
    };
    timers.unregister_timer = [](const clap_host_t* h, clap_id) {
      return --Self(h)->timersRegistered >= 0;
    };
    gui.resize_hints_changed = [](const clap_host_t*) {};
    gui.request_resize = [](const clap_host_t* h, uint32_t width, uint32_t height) {
      Self(h)->askedWidth = width;
      Self(h)->askedHeight = height;
      return Self(h)->acceptResize;
    };
    gui.request_show = gui.request_hide = [](const clap_host_t*) { return true; };
    gui.closed = [](const clap_host_t*, bool) {};
    threads.is_main_thread = [](const clap_host_t* h) { return !Self(h)->onAudioThread; };
    threads.is_audio_thread = [](const clap_host_t* h) { return Self(h)->onAudioThread; };
  }
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  static TestHost* Self(const clap_host_t* h) { return static_cast<TestHost*>(h->host_data); }
  static const void* CLAP_ABI Extension(const clap_host_t* h, const char* id) {
    TestHost* self = Self(h);
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &self->params;
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &self->timers;
    if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &self->gui;
    if (self->offerThreadCheck && std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0)
      return &self->threads;
    return nullptr;
  }
};

// Events in the order added (a host sorts them by time; tests may not).
class InputEvents {
 public:
  InputEvents() {
    list_.ctx = this;
    list_.size = [](const clap_input_events_t* l) {
      return static_cast<uint32_t>(static_cast<InputEvents*>(l->ctx)->events_.size());
    };
    list_.get = [](const clap_input_events_t* l, uint32_t i) -> const clap_event_header_t* {
      auto& events = static_cast<InputEvents*>(l->ctx)->events_;
      return i < events.size() ? reinterpret_cast<const clap_event_header_t*>(events[i].data())
                               : nullptr;
    };
  }
  InputEvents(const InputEvents&) = delete;
  InputEvents& operator=(const InputEvents&) = delete;

  void Value(uint32_t time, clap_id id, double value) {
    clap_event_param_value_t e = {};
    e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    e.param_id = id;
    e.note_id = e.port_index = e.channel = e.key = -1;
    e.value = value;
    Raw(&e, sizeof e);
  }
  void Note(uint32_t time, int16_t key, double velocity) {
    clap_event_note_t e = {
        {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_NOTE_ON, 0}, -1, 0, 0, key, velocity};
    Raw(&e, sizeof e);
  }
  void Midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
    clap_event_midi_t e = {
        {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0}, 0, {status, data1, data2}};
    Raw(&e, sizeof e);
  }
  // Any bytes as one event, its header whatever they say (8-byte aligned).
  void Raw(const void* event, size_t size) {
    events_.emplace_back((size + 7) / 8);
    std::memcpy(events_.back().data(), event, size);
  }
  const clap_input_events_t* List() const { return &list_; }

 private:
  clap_input_events_t list_ = {};
  std::vector<std::vector<uint64_t>> events_;
};

// What the plug-in pushed, decoded: gestures and values.
struct OutputEvent {
  uint16_t type;
  uint32_t time;
  clap_id id;
  double value;
};

class OutputEvents {
 public:
  OutputEvents() {
    list_.ctx = this;
    list_.try_push = [](const clap_output_events_t* l, const clap_event_header_t* e) {
      OutputEvent event = {e->type, e->time, CLAP_INVALID_ID, 0.0};
      if (e->type == CLAP_EVENT_PARAM_VALUE) {
        const auto* v = reinterpret_cast<const clap_event_param_value_t*>(e);
        event.id = v->param_id;
        event.value = v->value;
      } else if (e->type == CLAP_EVENT_PARAM_GESTURE_BEGIN ||
                 e->type == CLAP_EVENT_PARAM_GESTURE_END) {
        event.id = reinterpret_cast<const clap_event_param_gesture_t*>(e)->param_id;
      }
      static_cast<OutputEvents*>(l->ctx)->events.push_back(event);
      return true;
    };
  }
  OutputEvents(const OutputEvents&) = delete;
  OutputEvents& operator=(const OutputEvents&) = delete;
  const clap_output_events_t* List() const { return &list_; }
  std::vector<OutputEvent> events;

 private:
  clap_output_events_t list_ = {};
};

// Bytes in and out, moved at most `piece` bytes a call.
struct ByteStreams {
  std::vector<uint8_t> bytes;
  size_t read = 0;
  size_t piece;
  clap_ostream_t out = {};
  clap_istream_t in = {};

  explicit ByteStreams(std::vector<uint8_t> initial = {}, size_t pieceSize = 1 << 20)
      : bytes(std::move(initial)), piece(pieceSize) {
    out.ctx = in.ctx = this;
    out.write = [](const clap_ostream_t* s, const void* buffer, uint64_t size) -> int64_t {
      auto* self = static_cast<ByteStreams*>(s->ctx);
      const size_t n = static_cast<size_t>(size < self->piece ? size : self->piece);
      const auto* b = static_cast<const uint8_t*>(buffer);
      self->bytes.insert(self->bytes.end(), b, b + n);
      return static_cast<int64_t>(n);
    };
    in.read = [](const clap_istream_t* s, void* buffer, uint64_t size) -> int64_t {
      auto* self = static_cast<ByteStreams*>(s->ctx);
      size_t n = self->bytes.size() - self->read;
      if (n > size) n = static_cast<size_t>(size);
      if (n > self->piece) n = self->piece;
      if (n) std::memcpy(buffer, self->bytes.data() + self->read, n);
      self->read += n;
      return static_cast<int64_t>(n);
    };
  }
};

// The plug-in from the module's entry record.
struct ClapPlugin {
  const clap_plugin_t* plugin = nullptr;

  explicit ClapPlugin(TestHost& host) {
    kGateEntry.init("");
    const auto* factory =
        static_cast<const clap_plugin_factory_t*>(kGateEntry.get_factory(CLAP_PLUGIN_FACTORY_ID));
    plugin = factory->create_plugin(factory, &host.host, kGatePluginId);
    if (plugin) plugin->init(plugin);
  }
  ~ClapPlugin() {
    if (plugin) plugin->destroy(plugin);
  }
  ClapPlugin(const ClapPlugin&) = delete;
  ClapPlugin& operator=(const ClapPlugin&) = delete;

  GateClap* Object() const { return GateClap::Of(plugin); }
  template <typename Extension>
  const Extension* Ext(const char* id) const {
    return static_cast<const Extension*>(plugin->get_extension(plugin, id));
  }
  const clap_plugin_params_t* Params() const { return Ext<clap_plugin_params_t>(CLAP_EXT_PARAMS); }
  const clap_plugin_state_t* State() const { return Ext<clap_plugin_state_t>(CLAP_EXT_STATE); }

  void Start(double rate, uint32_t maxFrames) {
    plugin->activate(plugin, rate, 1, maxFrames);
    plugin->start_processing(plugin);
  }
  double Value(clap_id id) const {
    double value = -1.0;
    Params()->get_value(plugin, id, &value);
    return value;
  }
  clap_param_info_t Info(uint32_t index) const {
    clap_param_info_t info = {};
    Params()->get_info(plugin, index, &info);
    return info;
  }
  std::vector<uint8_t> Save(size_t piece = 1 << 20) const {
    ByteStreams streams({}, piece);
    return State()->save(plugin, &streams.out) ? streams.bytes : std::vector<uint8_t>{};
  }
  void Flush(clap_id id, double plain) const {
    InputEvents in;
    in.Value(0, id, plain);
    Params()->flush(plugin, in.List(), nullptr);
  }
};

// Stereo buffers for one process call, 32- or 64-bit.
struct ClapBlock : BlockBuffers {
  bool wide;
  uint32_t frames;
  clap_audio_buffer_t inBuffer = {}, outBuffer = {};
  clap_process_t process = {};

  ClapBlock(bool wideSamples, uint32_t frameCount, double level = 0.0)
      : BlockBuffers(frameCount), wide(wideSamples), frames(frameCount) {
    for (uint32_t i = 0; i < 2 * frames; ++i) SetIn(static_cast<int>(i % 2), i / 2, level);
    inBuffer.channel_count = outBuffer.channel_count = 2;
    inBuffer.data32 = wide ? nullptr : inPointers32;
    outBuffer.data32 = wide ? nullptr : outPointers32;
    inBuffer.data64 = wide ? inPointers64 : nullptr;
    outBuffer.data64 = wide ? outPointers64 : nullptr;
    process.steady_time = -1;
    process.frames_count = frames;
    process.audio_inputs = &inBuffer;
    process.audio_outputs = &outBuffer;
    process.audio_inputs_count = process.audio_outputs_count = 1;
  }

  void SetIn(int c, uint32_t i, double value) {
    in32[c][i] = static_cast<float>(value);
    in64[c][i] = static_cast<float>(value);
  }
  double Out(int c, uint32_t i) const { return wide ? out64[c][i] : out32[c][i]; }
  // Frames `start` on, `count` of them, rendered by an instance driven straight.
  void RenderStraight(EffectInstance& instance, int32_t start, int32_t count) {
    if (wide) {
      instance.ProcessDouble(inPointers64, outPointers64, start, count);
    } else {
      instance.ProcessFloat(inPointers32, outPointers32, start, count);
    }
  }

  clap_process_status Run(ClapPlugin& p, const clap_input_events_t* in,
                          const clap_output_events_t* out,
                          const clap_event_transport_t* transport = nullptr) {
    process.in_events = in;
    process.out_events = out;
    process.transport = transport;
    return p.plugin->process(p.plugin, &process);
  }
  clap_process_status Run(ClapPlugin& p, const InputEvents* in, const OutputEvents* out,
                          const clap_event_transport_t* transport = nullptr) {
    return Run(p, in ? in->List() : nullptr, out ? out->List() : nullptr, transport);
  }
};

// A host that hands the instance driven straight the time info a test sets
// (none unless `give`), and keeps no edits.
class FixedTimeHost : public InstanceHost {
 public:
  bool give = false;
  HostTime time = {};
  const HostTime* TransportTime() override { return give ? &time : nullptr; }
  void BeginEdit(int32_t) override {}
  void PerformEdit(int32_t, double) override {}
  void EndEdit(int32_t) override {}
  void UpdateDisplay() override {}
  bool ResizeEditor(int32_t, int32_t) override { return false; }
  void HostIdentity(char* name, int32_t size, int32_t* version) override {
    if (size > 0) name[0] = 0;
    *version = 0;
  }
};

inline std::unique_ptr<EffectInstance> StartedInstance(InstanceHost& host, double rate,
                                                       int32_t maxFrames) {
  std::unique_ptr<EffectInstance> instance(CreateEffectInstance(&host));
  instance->Open();
  instance->SetMaxBlockFrames(maxFrames);
  instance->SetSampleRate(rate);
  instance->SetActive(true);
  instance->SetProcessing(true);
  return instance;
}
