// The seam's own work over the VST 2 instance: blocks placed by an offset
// into the host's arrays, and a loaded state answering what it carried.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "engine/gate_plug.h"
#include "instance/instance_host.h"
#include "instance/vst2_effect_instance.h"

namespace {

intptr_t VST2_CALL NoHost(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst2::audioMasterVersion ? vst2::kVstVersion : 0;
}

// An opened, active instance at 48 kHz with blocks of up to 256 frames.
std::unique_ptr<Vst2EffectInstance> OpenInstance() {
  auto instance = std::make_unique<Vst2EffectInstance>(new VSTCLASS(&NoHost));
  instance->Open();
  instance->SetSampleRate(48000.0);
  instance->SetMaxBlockFrames(256);
  instance->SetActive(true);
  instance->SetProcessing(true);
  return instance;
}

constexpr float kUntouched = 1234.5f;

// Frames [offset, offset + frames) of a `total`-frame host array, given to the
// instance through the offset, must come out as the same frames given to a
// twin instance as arrays of their own; frames outside stay as they were.
TEST(EffectInstance, OffsetBlocksRenderTheirFramesOnly) {
  const uint32_t seed = 0x5EA24u;
  std::printf("seed %u\n", seed);
  std::mt19937 random(seed);
  struct Row {
    int32_t total, offset, frames;
    bool wide;
  };
  const Row rows[] = {{64, 0, 64, false},
                      {300, 37, 200, false},
                      {300, 299, 1, true},
                      {513, 1, 511, true},
                      {40, 40, 0, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "total " << row.total << " offset " << row.offset
                                    << " frames " << row.frames << " wide " << row.wide);
    std::uniform_real_distribution<double> sample(-1.0, 1.0);
    std::vector<double> source[2];
    for (std::vector<double>& channel : source) {
      channel.resize(static_cast<size_t>(row.total));
      for (double& s : channel) s = static_cast<float>(sample(random));
    }
    auto placed = OpenInstance();
    auto alone = OpenInstance();
    std::vector<double> expected[2];
    std::vector<double> got[2];
    for (int c = 0; c < 2; ++c) {
      expected[c].assign(source[c].begin() + row.offset,
                         source[c].begin() + row.offset + row.frames);
      got[c].assign(static_cast<size_t>(row.total), kUntouched);
    }
    if (row.wide) {
      std::vector<double> in[2] = {source[0], source[1]};
      double* inputs[2] = {in[0].data(), in[1].data()};
      double* outputs[2] = {got[0].data(), got[1].data()};
      placed->ProcessDouble(inputs, outputs, row.offset, row.frames);
      std::vector<double> aloneIn[2] = {expected[0], expected[1]};
      double* aloneInputs[2] = {aloneIn[0].data(), aloneIn[1].data()};
      double* aloneOutputs[2] = {expected[0].data(), expected[1].data()};
      alone->ProcessDouble(aloneInputs, aloneOutputs, 0, row.frames);
    } else {
      std::vector<float> in[2], out[2], aloneIn[2], aloneOut[2];
      for (int c = 0; c < 2; ++c) {
        in[c].assign(source[c].begin(), source[c].end());
        out[c].assign(static_cast<size_t>(row.total), kUntouched);
        aloneIn[c].assign(expected[c].begin(), expected[c].end());
        aloneOut[c].assign(expected[c].size(), 0.0f);
      }
      float* inputs[2] = {in[0].data(), in[1].data()};
      float* outputs[2] = {out[0].data(), out[1].data()};
      placed->ProcessFloat(inputs, outputs, row.offset, row.frames);
      float* aloneInputs[2] = {aloneIn[0].data(), aloneIn[1].data()};
      float* aloneOutputs[2] = {aloneOut[0].data(), aloneOut[1].data()};
      alone->ProcessFloat(aloneInputs, aloneOutputs, 0, row.frames);
      for (int c = 0; c < 2; ++c) {
        got[c].assign(out[c].begin(), out[c].end());
        expected[c].assign(aloneOut[c].begin(), aloneOut[c].end());
      }
    }
    for (int c = 0; c < 2; ++c) {
      for (int32_t j = 0; j < row.total; ++j) {
        const bool inside = j >= row.offset && j < row.offset + row.frames;
        const double want =
            inside ? expected[c][static_cast<size_t>(j - row.offset)] : double{kUntouched};
        ASSERT_EQ(got[c][static_cast<size_t>(j)], want) << "channel " << c << " frame " << j;
      }
    }
  }
}

// A saved state brings its program and bypass back; a bare chunk carries
// neither and leaves the program; a later build's state changes nothing.
TEST(EffectInstance, LoadedStateAnswersWhatItCarried) {
  auto saver = OpenInstance();
  saver->SelectProgram(3);
  StateBuffer state;
  ASSERT_TRUE(saver->SaveState(state, true));
  const int32_t chunkBytes = 4 + 8 * kChunkParams;
  ASSERT_GT(state.Size(), chunkBytes);

  auto loader = OpenInstance();
  loader->SelectProgram(5);
  LoadedState carried;
  ASSERT_TRUE(loader->LoadState(state, &carried));
  EXPECT_TRUE(carried.carriedExtension);
  EXPECT_EQ(carried.program, 3);
  EXPECT_TRUE(carried.bypassed);
  EXPECT_EQ(loader->CurrentProgram(), 3);

  StateBuffer bare;
  ASSERT_TRUE(bare.AppendBytes(state.Data(), chunkBytes));
  loader->SelectProgram(7);
  carried = {true, 9, true};
  ASSERT_TRUE(loader->LoadState(bare, &carried));
  EXPECT_FALSE(carried.carriedExtension);
  EXPECT_FALSE(carried.bypassed);
  EXPECT_EQ(loader->CurrentProgram(), 7);

  StateBuffer later = state;
  const int32_t laterVersion = 99 * 10000;  // little-endian, as the chunk's version word
  for (int b = 0; b < 4; ++b) later.Data()[b] = static_cast<uint8_t>(laterVersion >> (8 * b));
  const double before = loader->ParamNormalized(0);
  carried = {true, 9, true};
  EXPECT_FALSE(loader->LoadState(later, &carried));
  EXPECT_FALSE(carried.carriedExtension);
  EXPECT_EQ(loader->CurrentProgram(), 7);
  EXPECT_EQ(loader->ParamNormalized(0), before);

  char name[64] = "stale";
  loader->ProgramName(loader->ProgramCount(), name, sizeof name);
  EXPECT_STREQ(name, "");
}

}  // namespace

namespace {

// Counts what reaches the audio-master callback, by opcode.
int gCallbackRequests[64];

intptr_t VST2_CALL CountingCallback(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*,
                                    float) {
  if (opcode >= 0 && opcode < 64) ++gCallbackRequests[opcode];
  return opcode == vst2::audioMasterVersion ? vst2::kVstVersion : 0;
}

struct RecordingHost final : InstanceHost {
  const HostTime* TransportTime() override {
    ++timeQueries;
    return &time;
  }
  void BeginEdit(int32_t index) override { edits.push_back(100 + index); }
  void PerformEdit(int32_t index, double) override { edits.push_back(200 + index); }
  void EndEdit(int32_t index) override { edits.push_back(300 + index); }
  void UpdateDisplay() override { ++displayUpdates; }
  bool ResizeEditor(int32_t width, int32_t height) override {
    resized = width * 10000 + height;
    return true;
  }
  void HostIdentity(char* name, int32_t size, int32_t* versionDecimal) override {
    std::snprintf(name, static_cast<size_t>(size), "%s", "Some Host");
    *versionDecimal = 20304;
  }
  HostTime time;
  int timeQueries = 0;
  std::vector<int> edits;
  int displayUpdates = 0;
  int resized = 0;
};

}  // namespace

// With an instance host the host services go there and nothing reaches the
// callback; the transport read is the record's, field for field.
TEST(EffectInstance, AnInstanceHostTakesEveryHostService) {
  for (int& count : gCallbackRequests) count = 0;
  VSTCLASS plug(&CountingCallback);
  RecordingHost host;
  plug.SetInstanceHost(&host);
  host.time.samplePosition = 4410.4;
  host.time.tempoValid = true;
  host.time.tempo = 97.5;
  host.time.signatureValid = false;
  host.time.numerator = 7;
  host.time.denominator = 8;
  host.time.recording = true;

  EXPECT_EQ(plug.HostSamplePosition(), 4410);
  EXPECT_EQ(plug.HostTempo(), 97.5);
  int numerator = -1, denominator = -1;
  plug.HostTimeSignature(&numerator, &denominator);
  EXPECT_EQ(numerator, 0);  // the record says its signature is not valid
  EXPECT_EQ(denominator, 0);
  EXPECT_EQ(plug.HostTransportState(), 2);
  EXPECT_EQ(host.timeQueries, 4);

  plug.BeginParamEdit(3);
  plug.AutomateParam(3, 0.5);
  plug.EndParamEdit(3);
  EXPECT_EQ(host.edits, (std::vector<int>{103, 203, 303}));
  plug.RequestHostDisplayUpdate();
  EXPECT_EQ(host.displayUpdates, 1);
  plug.RequestEditorSize(620, 285);
  EXPECT_EQ(host.resized, 6200285);
  plug.HostId();
  EXPECT_EQ(plug.HostVersion(), 0x00020304);  // 2.3.4, packed

  for (int32_t opcode :
       {vst2::audioMasterGetTime, vst2::audioMasterBeginEdit, vst2::audioMasterAutomate,
        vst2::audioMasterEndEdit, vst2::audioMasterUpdateDisplay, vst2::audioMasterSizeWindow,
        vst2::audioMasterGetProductString, vst2::audioMasterGetVendorVersion}) {
    EXPECT_EQ(gCallbackRequests[opcode], 0) << "opcode " << opcode;
  }
}
