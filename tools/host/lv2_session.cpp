#include "tools/host/lv2_session.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/port-props/port-props.h>
#include <lv2/time/time.h>
#include <lv2/units/units.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "tools/host/host_services.h"
#include "tools/host/lv2_nodes.h"
#include "tools/host/lv2_position.h"
#include "tools/host/lv2_session_factory.h"

namespace {

constexpr size_t kSequenceBytes = 64 * 1024;

// Unit symbols for the units the LV2 units vocabulary names, when the
// bundle does not spell them out itself.
struct UnitSymbol {
  const char* uri;
  const char* symbol;
};
constexpr UnitSymbol kUnitSymbols[] = {
    {LV2_UNITS__pc, "%"}, {LV2_UNITS__hz, "Hz"}, {LV2_UNITS__ms, "ms"},
    {LV2_UNITS__s, "s"},  {LV2_UNITS__db, "dB"}, {LV2_UNITS__bpm, "BPM"},
};

std::string AbsoluteFolder(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  std::string folder = resolved ? resolved : path;
  free(resolved);
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::unique_ptr<PluginSession> MakeLv2Session() { return std::make_unique<Lv2Session>(); }

Lv2Session::~Lv2Session() { Close(); }

bool Lv2Session::Fail(std::string& error, const std::string& reason) {
  error = reason;
  Close();
  return false;
}

bool Lv2Session::Create(const std::string& path, std::string& error) {
  world_ = lilv_world_new();
  if (!world_) return Fail(error, "lilv made no world");
  const std::string folder = AbsoluteFolder(path);
  // Freed here: a failure below frees the world, and its nodes must go first.
  LilvNode* bundle = lilv_new_file_uri(world_, nullptr, folder.c_str());
  lilv_world_load_bundle(world_, bundle);
  lilv_node_free(bundle);
  const LilvPlugins* plugins = lilv_world_get_all_plugins(world_);
  if (lilv_plugins_size(plugins) != 1) {
    return Fail(error, folder + " holds " + std::to_string(lilv_plugins_size(plugins)) +
                           " plug-ins, not one");
  }
  plugin_ = lilv_plugins_get(plugins, lilv_plugins_begin(plugins));
  if (!lilv_plugin_verify(plugin_)) return Fail(error, "the plug-in's description is incomplete");
  if (!ReadPorts(error)) return Fail(error, error);
  ReadPresets();
  return true;
}

bool Lv2Session::ReadPorts(std::string& error) {
  OwnedNode audioClass(lilv_new_uri(world_, LV2_CORE__AudioPort));
  OwnedNode controlClass(lilv_new_uri(world_, LV2_CORE__ControlPort));
  OwnedNode atomClass(lilv_new_uri(world_, LV2_ATOM__AtomPort));
  OwnedNode inputClass(lilv_new_uri(world_, LV2_CORE__InputPort));
  OwnedNode integer(lilv_new_uri(world_, LV2_CORE__integer));
  OwnedNode enumeration(lilv_new_uri(world_, LV2_CORE__enumeration));
  OwnedNode toggled(lilv_new_uri(world_, LV2_CORE__toggled));
  OwnedNode unitKey(lilv_new_uri(world_, LV2_UNITS__unit));
  OwnedNode symbolKey(lilv_new_uri(world_, LV2_UNITS__symbol));
  const uint32_t ports = lilv_plugin_get_num_ports(plugin_);
  portValues_.assign(ports, 0.0f);
  for (uint32_t i = 0; i < ports; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
    const bool input = lilv_port_is_a(plugin_, port, inputClass.get());
    if (lilv_port_is_a(plugin_, port, audioClass.get())) {
      (input ? audioIn_ : audioOut_).push_back(i);
      continue;
    }
    if (input && lilv_port_is_a(plugin_, port, atomClass.get())) {
      eventPorts_.push_back(i);
      continue;
    }
    if (!input || !lilv_port_is_a(plugin_, port, controlClass.get())) {
      otherPorts_.push_back(i);
      continue;
    }
    ControlPort control{};
    control.index = i;
    OwnedNode name(lilv_port_get_name(plugin_, port));
    control.name = TextOf(name.get());
    LilvNode *fallback = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(plugin_, port, &fallback, &min, &max);
    OwnedNode fallbackNode(fallback), minNode(min), maxNode(max);
    control.min = min ? lilv_node_as_float(min) : 0.0f;
    control.max = max ? lilv_node_as_float(max) : 1.0f;
    control.fallback = fallback ? lilv_node_as_float(fallback) : control.min;
    control.whole = lilv_port_has_property(plugin_, port, integer.get()) ||
                    lilv_port_has_property(plugin_, port, enumeration.get()) ||
                    lilv_port_has_property(plugin_, port, toggled.get());
    LilvNodes* units = lilv_port_get_value(plugin_, port, unitKey.get());
    if (units && lilv_nodes_size(units) > 0) {
      const LilvNode* unit = lilv_nodes_get_first(units);
      OwnedNode symbol(lilv_world_get(world_, unit, symbolKey.get(), nullptr));
      control.label = TextOf(symbol.get());
      for (const UnitSymbol& known : kUnitSymbols) {
        if (control.label.empty() && lilv_node_is_uri(unit) &&
            std::strcmp(lilv_node_as_uri(unit), known.uri) == 0) {
          control.label = known.symbol;
        }
      }
    }
    lilv_nodes_free(units);
    if (LilvScalePoints* points = lilv_port_get_scale_points(plugin_, port)) {
      LILV_FOREACH(scale_points, p, points) {
        const LilvScalePoint* point = lilv_scale_points_get(points, p);
        control.points.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(point)),
                                    TextOf(lilv_scale_point_get_label(point)));
      }
      lilv_scale_points_free(points);
      std::sort(control.points.begin(), control.points.end());
    }
    portValues_[i] = control.fallback;
    controls_.push_back(control);
  }
  if (audioIn_.empty() || audioOut_.empty()) {
    error = "the plug-in has no audio input or no audio output";
    return false;
  }
  return true;
}

bool Lv2Session::Instantiate() {
  features_.SetProcessing(sampleRate_, blockFrames_);
  instance_ = lilv_plugin_instantiate(plugin_, sampleRate_, features_.Features());
  if (!instance_) return false;
  const size_t frames = static_cast<size_t>(blockFrames_);
  inBuffers_.assign(audioIn_.size(), std::vector<float>(frames));
  outBuffers_.assign(audioOut_.size(), std::vector<float>(frames));
  scratch_.assign(otherPorts_.size(), std::vector<float>(std::max<size_t>(frames, 16)));
  sequence_.assign(kSequenceBytes / sizeof(uint64_t), 0);
  ConnectPorts();
  return true;
}

void Lv2Session::ConnectPorts() {
  for (const ControlPort& control : controls_) {
    lilv_instance_connect_port(instance_, control.index, &portValues_[control.index]);
  }
  for (size_t c = 0; c < audioIn_.size(); ++c) {
    lilv_instance_connect_port(instance_, audioIn_[c], inBuffers_[c].data());
  }
  for (size_t c = 0; c < audioOut_.size(); ++c) {
    lilv_instance_connect_port(instance_, audioOut_[c], outBuffers_[c].data());
  }
  for (uint32_t port : eventPorts_) lilv_instance_connect_port(instance_, port, sequence_.data());
  for (size_t i = 0; i < otherPorts_.size(); ++i) {
    lilv_instance_connect_port(instance_, otherPorts_[i], scratch_[i].data());
  }
}

bool Lv2Session::NeedInstance() { return instance_ != nullptr || (plugin_ && Instantiate()); }

void Lv2Session::FreeInstance() {
  if (!instance_) return;
  if (active_) lilv_instance_deactivate(instance_);
  active_ = false;
  lilv_instance_free(instance_);
  instance_ = nullptr;
}

void Lv2Session::Close() {
  ReleaseUi();
  FreeInstance();
  controls_.clear();
  presets_.clear();
  audioIn_.clear();
  audioOut_.clear();
  eventPorts_.clear();
  otherPorts_.clear();
  plugin_ = nullptr;
  if (world_) lilv_world_free(world_);
  world_ = nullptr;
}

void Lv2Session::Open() { NeedInstance(); }

void Lv2Session::SetSampleRate(double rate) {
  if (rate == sampleRate_) return;
  sampleRate_ = rate;
  if (!instance_) return;
  // The rate is fixed per instance: a new one carries the state over.
  std::vector<char> state;
  std::string error;
  const bool saved = SaveState(true, state, error);
  const bool wasActive = active_;
  FreeInstance();
  if (!Instantiate()) return;
  if (saved) LoadState(true, state);
  SetActive(wasActive);
}

void Lv2Session::SetBlockSize(int32_t frames) {
  if (frames == blockFrames_) return;
  if (!instance_) {
    blockFrames_ = frames;
    return;
  }
  // The longest run is an instantiation option: rebuild as for a new rate.
  const double rate = sampleRate_;
  blockFrames_ = frames;
  sampleRate_ = 0.0;
  SetSampleRate(rate);
}

void Lv2Session::SetActive(bool on) {
  if (on == active_ || !NeedInstance()) return;
  if (on) {
    lilv_instance_activate(instance_);
  } else {
    lilv_instance_deactivate(instance_);
  }
  active_ = on;
}

void Lv2Session::PrintInfo() {
  std::printf("info format=lv2\ninfo uri=%s\n", lilv_node_as_uri(lilv_plugin_get_uri(plugin_)));
  std::printf("info inputs=%zu\ninfo outputs=%zu\n", audioIn_.size(), audioOut_.size());
  std::printf("info params=%d\ninfo programs=%d\n", ParamCount(), ProgramCount());
  std::printf("info event_inputs=%zu\ninfo other_ports=%zu\n", eventPorts_.size(),
              otherPorts_.size());
}

ParamReport Lv2Session::Param(int32_t index) {
  ParamReport report;
  if (index < 0 || index >= ParamCount()) return report;
  const ControlPort& control = controls_[static_cast<size_t>(index)];
  const float plain = portValues_[control.index];
  report.name = control.name;
  report.label = control.label;
  const float span = control.max - control.min;
  report.value = span > 0.0f ? (static_cast<double>(plain) - control.min) / span : 0.0;
  char text[64];
  std::snprintf(text, sizeof text, control.whole ? "%.0f" : "%g", static_cast<double>(plain));
  report.display = text;
  for (const auto& point : control.points) {
    if (point.first == plain) report.display = point.second;
  }
  std::printf("param %d port=%u min=%g max=%g default=%g whole=%d points=%zu\n", index,
              control.index, static_cast<double>(control.min), static_cast<double>(control.max),
              static_cast<double>(control.fallback), control.whole ? 1 : 0, control.points.size());
  return report;
}

float Lv2Session::PlainOf(const ControlPort& control, double normalized) const {
  normalized = std::min(1.0, std::max(0.0, normalized));
  double plain = control.min + normalized * (static_cast<double>(control.max) - control.min);
  // Whole numbers round half up, as the other formats' parameters store them.
  if (control.whole) plain = std::floor(plain + 0.5);
  return static_cast<float>(std::min<double>(control.max, std::max<double>(control.min, plain)));
}

void Lv2Session::SetParam(int32_t index, double normalized) {
  if (index < 0 || index >= ParamCount()) return;
  const ControlPort& control = controls_[static_cast<size_t>(index)];
  portValues_[control.index] = PlainOf(control, normalized);
  portsPending_ = true;
}

intptr_t Lv2Session::SetParamText(int32_t index, const std::string& text) {
  if (index < 0 || index >= ParamCount()) return 0;
  const ControlPort& control = controls_[static_cast<size_t>(index)];
  for (const auto& point : control.points) {
    if (point.second == text) {
      portValues_[control.index] = point.first;
      portsPending_ = true;
      return 1;
    }
  }
  char* end = nullptr;
  double plain = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(plain)) return 0;
  if (control.whole) plain = std::floor(plain + 0.5);
  plain = std::min<double>(control.max, std::max<double>(control.min, plain));
  portValues_[control.index] = static_cast<float>(plain);
  portsPending_ = true;
  return 1;
}

void Lv2Session::WriteEvents(const std::vector<TimedNoteOn>& notes, int64_t start, int64_t frames,
                             int64_t total, bool position) {
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, static_cast<LV2_URID_Map*>(features_.MapFeature()->data));
  lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(sequence_.data()),
                            sequence_.size() * sizeof(uint64_t));
  LV2_Atom_Forge_Frame sequence;
  lv2_atom_forge_sequence_head(&forge, &sequence, 0);
  const HostServices& host = Host();
  if (position && host.timeInfoAvailable) {
    const Lv2Position at = PositionOf(host);
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, 0);
    lv2_atom_forge_object(&forge, &object, 0, Urid(LV2_TIME__Position));
    lv2_atom_forge_key(&forge, Urid(LV2_TIME__frame));
    lv2_atom_forge_long(&forge, at.frame);
    lv2_atom_forge_key(&forge, Urid(LV2_TIME__speed));
    lv2_atom_forge_float(&forge, at.speed);
    lv2_atom_forge_key(&forge, Urid(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&forge, at.beatsPerMinute);
    lv2_atom_forge_key(&forge, Urid(LV2_TIME__bar));
    lv2_atom_forge_long(&forge, at.bar);
    lv2_atom_forge_key(&forge, Urid(LV2_TIME__barBeat));
    lv2_atom_forge_float(&forge, at.barBeat);
    lv2_atom_forge_key(&forge, Urid(LV2_TIME__beatsPerBar));
    lv2_atom_forge_float(&forge, at.beatsPerBar);
    lv2_atom_forge_key(&forge, Urid(LV2_TIME__beatUnit));
    lv2_atom_forge_int(&forge, at.beatUnit);
    lv2_atom_forge_pop(&forge, &object);
    if (host.log) {
      std::fprintf(host.log,
                   "lv2 position frame=%lld speed=%g bpm=%g bar=%lld barBeat=%.6f beatsPerBar=%g "
                   "beatUnit=%d\n",
                   static_cast<long long>(at.frame), static_cast<double>(at.speed),
                   static_cast<double>(at.beatsPerMinute), static_cast<long long>(at.bar),
                   static_cast<double>(at.barBeat), static_cast<double>(at.beatsPerBar),
                   at.beatUnit);
    }
  }
  const uint32_t midiType = Urid(LV2_MIDI__MidiEvent);
  for (const TimedNoteOn& note : notes) {
    if (!NoteGoesWithBlock(note.offset, start, start + frames, total)) continue;
    // A sequence holds frames within its run, in order: ones before or past
    // it go to its first or last frame.
    const int64_t frame = std::min(frames - 1, std::max<int64_t>(0, note.offset - start));
    const uint8_t message[3] = {0x90, note.note, note.velocity};
    lv2_atom_forge_frame_time(&forge, frame);
    lv2_atom_forge_atom(&forge, sizeof message, midiType);
    lv2_atom_forge_write(&forge, message, sizeof message);
  }
  lv2_atom_forge_pop(&forge, &sequence);
}

void Lv2Session::HandOverPorts() {
  if (!portsPending_ || !NeedInstance()) return;
  const bool wasActive = active_;
  SetActive(true);
  // No position either: the transport has not moved.
  WriteEvents({}, 0, 0, 0, false);
  lilv_instance_run(instance_, 0);
  SetActive(wasActive);
  portsPending_ = false;
}

bool Lv2Session::Render(const WavAudio& input, ProcessCallback callback,
                        const std::vector<TimedParamChange>& changes,
                        const std::vector<TimedNoteOn>& notes, WavAudio& output,
                        std::string& error) {
  if (callback != ProcessCallback::Replacing) {
    error = "LV2 audio ports are 32-bit float only (use replacing)";
    return false;
  }
  if (!NeedInstance()) {
    error = "the plug-in did not instantiate";
    return false;
  }
  SetActive(true);
  HostServices& host = Host();
  const size_t block = static_cast<size_t>(blockFrames_);
  const size_t frames = input.frames();
  output.sampleRate = input.sampleRate;
  output.format = WavFormat::Float32;
  output.channels.assign(audioOut_.size(), std::vector<float>(frames));
  size_t nextChange = 0;
  for (size_t start = 0; start < frames; start += block) {
    const size_t count = std::min(block, frames - start);
    for (size_t c = 0; c < inBuffers_.size(); ++c) {
      const std::vector<float>& source = input.channels[c % input.channels.size()];
      std::copy_n(source.begin() + static_cast<long>(start), count, inBuffers_[c].begin());
    }
    size_t done = 0;
    do {
      // Changes due by this sample go to their ports; the next one ends the run.
      size_t pieceEnd = count;
      for (; nextChange < changes.size(); ++nextChange) {
        const TimedParamChange& change = changes[nextChange];
        const int64_t at = change.offset - static_cast<int64_t>(start);
        if (at > static_cast<int64_t>(done)) {
          if (at < static_cast<int64_t>(count)) pieceEnd = static_cast<size_t>(at);
          break;
        }
        SetParam(change.index, change.value);
      }
      for (size_t c = 0; c < audioIn_.size(); ++c) {
        lilv_instance_connect_port(instance_, audioIn_[c], inBuffers_[c].data() + done);
      }
      for (size_t c = 0; c < audioOut_.size(); ++c) {
        lilv_instance_connect_port(instance_, audioOut_[c], outBuffers_[c].data() + done);
      }
      const size_t piece = pieceEnd - done;
      WriteEvents(notes, static_cast<int64_t>(start + done), static_cast<int64_t>(piece),
                  static_cast<int64_t>(frames), true);
      portsPending_ = false;
      host.processing = true;
      lilv_instance_run(instance_, static_cast<uint32_t>(piece));
      host.processing = false;
      if (host.Advancing()) host.samplePosition += static_cast<double>(piece);
      done = pieceEnd;
    } while (done < count);
    for (size_t c = 0; c < outBuffers_.size(); ++c) {
      std::copy_n(outBuffers_[c].begin(), count,
                  output.channels[c].begin() + static_cast<long>(start));
    }
  }
  return true;
}
