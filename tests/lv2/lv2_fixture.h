// What the LV2 tests play the host with: a URID map, an event sequence
// built byte by byte as a host lays it out, the plug-in driven through its
// descriptor, and the same effect driven straight through the instance
// seam (the second path the plug-in's output is compared with).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include "instance/effect_instance.h"
#include "instance/instance_host.h"
#include "lv2/lv2_descriptor.h"
#include "lv2/lv2_ports.h"

namespace lv2_test {

constexpr double kRate = 44100.0;

class UridMap {
 public:
  UridMap() : map_{this, &UridMap::Map} {}
  LV2_URID Id(const char* uri) { return Map(this, uri); }
  LV2_URID_Map* Feature() { return &map_; }

 private:
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
    auto* self = static_cast<UridMap*>(handle);
    for (size_t i = 0; i < self->uris_.size(); ++i) {
      if (self->uris_[i] == uri) return static_cast<LV2_URID>(i + 1);
    }
    self->uris_.push_back(uri);
    return static_cast<LV2_URID>(self->uris_.size());
  }
  std::vector<std::string> uris_;
  LV2_URID_Map map_;
};

// One time:Position's fields; those without a value are left out of the object.
struct PositionEvent {
  int64_t at = 0;                    // the event's frame in the block
  std::optional<int64_t> frame;      // time:frame (Long)
  std::optional<float> speed;        // time:speed (Float)
  std::optional<float> bpm;          // time:beatsPerMinute (Float)
  std::optional<float> beatsPerBar;  // (Float)
  std::optional<int32_t> beatUnit;   // (Int)
};

// An atom sequence as a host lays it out, events appended in time order.
class Sequence {
 public:
  explicit Sequence(UridMap& map) : map_(map) { Clear(); }
  void Clear() { bytes_.assign(sizeof(LV2_Atom_Sequence), 0); }
  void AddMidi(int64_t at, uint8_t status, uint8_t data1, uint8_t data2) {
    const uint8_t body[3] = {status, data1, data2};
    AddEvent(at, map_.Id(LV2_MIDI__MidiEvent), body, sizeof body);
  }
  void AddPosition(const PositionEvent& p) {
    std::vector<uint8_t> object(sizeof(LV2_Atom_Object_Body), 0);
    LV2_Atom_Object_Body head = {0, map_.Id(LV2_TIME__Position)};
    std::memcpy(object.data(), &head, sizeof head);
    if (p.frame) AddProperty(object, LV2_TIME__frame, LV2_ATOM__Long, *p.frame);
    if (p.speed) AddProperty(object, LV2_TIME__speed, LV2_ATOM__Float, *p.speed);
    if (p.bpm) AddProperty(object, LV2_TIME__beatsPerMinute, LV2_ATOM__Float, *p.bpm);
    if (p.beatsPerBar) AddProperty(object, LV2_TIME__beatsPerBar, LV2_ATOM__Float, *p.beatsPerBar);
    if (p.beatUnit) AddProperty(object, LV2_TIME__beatUnit, LV2_ATOM__Int, *p.beatUnit);
    AddEvent(p.at, map_.Id(LV2_ATOM__Object), object.data(), static_cast<uint32_t>(object.size()));
  }
  // Raw bytes, for events that lie about their size.
  void AddEvent(int64_t at, LV2_URID type, const void* body, uint32_t size) {
    LV2_Atom_Event event = {};
    event.time.frames = at;
    event.body = {size, type};
    Append(&event, sizeof event);
    Append(body, size);
    while (bytes_.size() % 8) bytes_.push_back(0);
  }
  // The sequence as the port sees it (valid until the next change).
  LV2_Atom_Sequence* Port() {
    LV2_Atom_Sequence head = {};
    head.atom.type = map_.Id(LV2_ATOM__Sequence);
    head.atom.size = static_cast<uint32_t>(bytes_.size() - sizeof(LV2_Atom));
    std::memcpy(bytes_.data(), &head, sizeof head);
    aligned_.assign((bytes_.size() + 7) / 8, 0);
    std::memcpy(aligned_.data(), bytes_.data(), bytes_.size());
    return reinterpret_cast<LV2_Atom_Sequence*>(aligned_.data());
  }

 private:
  template <class Value>
  void AddProperty(std::vector<uint8_t>& object, const char* key, const char* type, Value value) {
    LV2_Atom_Property_Body property = {map_.Id(key), 0, {sizeof value, map_.Id(type)}};
    const size_t at = object.size();
    object.resize(at + sizeof property + ((sizeof value + 7) / 8) * 8, 0);
    std::memcpy(object.data() + at, &property, sizeof property);
    std::memcpy(object.data() + at + sizeof property, &value, sizeof value);
  }
  void Append(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + size);
  }
  UridMap& map_;
  std::vector<uint8_t> bytes_;
  std::vector<uint64_t> aligned_;
};

// The plug-in through its descriptor, with every port connected.
class Plugin {
 public:
  explicit Plugin(UridMap* map) : sequence_(*map) {
    mapFeature_ = {LV2_URID__map, map->Feature()};
    features_.push_back(&mapFeature_);
    features_.push_back(nullptr);
    descriptor_ = Lv2GateDescriptor();
    handle_ = descriptor_->instantiate(descriptor_, kRate, "/nowhere/", features_.data());
  }
  ~Plugin() {
    if (!handle_) return;
    if (active_) descriptor_->deactivate(handle_);
    descriptor_->cleanup(handle_);
  }
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  LV2_Handle Handle() const { return handle_; }
  const LV2_Descriptor* Descriptor() const { return descriptor_; }
  // Connects every port, the controls holding `values`, and activates.
  void Start(const std::vector<float>& values) {
    ports_ = values;
    for (uint32_t i = 0; i < ports_.size(); ++i)
      descriptor_->connect_port(handle_, kLv2FirstParamPort + i, &ports_[i]);
    descriptor_->activate(handle_);
    active_ = true;
  }
  float& Port(int param) { return ports_[static_cast<size_t>(param)]; }
  Sequence& Events() { return sequence_; }
  // One run over `frames` of `in` (two channels) into `out`, with the
  // events added since the last run.
  void Run(const float* inL, const float* inR, float* outL, float* outR, uint32_t frames,
           LV2_Atom_Sequence* events = nullptr) {
    descriptor_->connect_port(handle_, kLv2InLeft, const_cast<float*>(inL));
    descriptor_->connect_port(handle_, kLv2InRight, const_cast<float*>(inR));
    descriptor_->connect_port(handle_, kLv2OutLeft, outL);
    descriptor_->connect_port(handle_, kLv2OutRight, outR);
    descriptor_->connect_port(handle_, kLv2ControlIn, events ? events : sequence_.Port());
    descriptor_->run(handle_, frames);
    sequence_.Clear();
  }

 private:
  LV2_Feature mapFeature_{};
  std::vector<const LV2_Feature*> features_;
  const LV2_Descriptor* descriptor_ = nullptr;
  LV2_Handle handle_ = nullptr;
  bool active_ = false;
  std::vector<float> ports_;
  Sequence sequence_;
};

// The effect driven straight through the seam, with the transport the test sets.
class Direct final : public InstanceHost {
 public:
  Direct() {
    instance_.reset(CreateEffectInstance(this));
    instance_->Open();
    instance_->SetSampleRate(kRate);
    instance_->SetMaxBlockFrames(4096);
    instance_->SetActive(true);
    instance_->SetProcessing(true);
  }
  ~Direct() override {
    instance_->SetProcessing(false);
    instance_->SetActive(false);
  }
  EffectInstance& Instance() { return *instance_; }
  void SetPlain(int param, double plain) {
    instance_->SetParamNormalized(param, instance_->ParamNormalizedOfPlain(param, plain));
  }
  double Plain(int param) {
    return instance_->ParamPlain(param, instance_->ParamNormalized(param));
  }
  // The port values of factory program `program`.
  std::vector<float> ProgramPortValues(int program) {
    instance_->SelectProgram(program);
    return PortValues();
  }
  // The port values a host starts with: each parameter's own.
  std::vector<float> PortValues() {
    std::vector<float> values;
    for (int i = 0; i < instance_->ParamCount(); ++i)
      values.push_back(static_cast<float>(Plain(i)));
    return values;
  }
  void Render(float* inL, float* inR, float* outL, float* outR, int32_t offset, int32_t frames,
              const HostTime* time) {
    float* in[2] = {inL, inR};
    float* out[2] = {outL, outR};
    time_ = time;
    instance_->ProcessFloat(in, out, offset, frames);
    time_ = nullptr;
  }

  const HostTime* TransportTime() override { return time_; }
  void BeginEdit(int32_t) override {}
  void PerformEdit(int32_t, double) override {}
  void EndEdit(int32_t) override {}
  void UpdateDisplay() override {}
  bool ResizeEditor(int32_t, int32_t) override { return false; }
  void HostIdentity(char* name, int32_t size, int32_t* version) override {
    if (name && size > 0) name[0] = '\0';
    if (version) *version = 0;
  }

 private:
  std::unique_ptr<EffectInstance> instance_;
  const HostTime* time_ = nullptr;
};

}  // namespace lv2_test
