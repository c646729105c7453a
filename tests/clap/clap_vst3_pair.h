// The CLAP plug-in beside the VST 3 one, both started, to hand the same
// plain values to each and compare what they hold and save.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "clap_test_host.h"
#include "support/fake_host.h"
#include "vst3/gate_plugin.h"

struct ClapVst3Pair {
  TestHost host;
  ClapPlugin clap{host};
  HostContext vst3Host;
  GatePlugin vst3 = GatePlugin::Create();

  ClapVst3Pair() { vst3.Start(vst3Host, V3_SAMPLE_32, 256, 48000.0); }
  ~ClapVst3Pair() {
    vst3.Stop();
    vst3.Release();
  }
  ClapVst3Pair(const ClapVst3Pair&) = delete;
  ClapVst3Pair& operator=(const ClapVst3Pair&) = delete;

  double Vst3Plain(clap_id id, double normalized) const {
    return v3_cpp_obj(vst3.controller)
        ->normalised_parameter_to_plain(vst3.controller, id, normalized);
  }
  // The CLAP plug-in through a flush, the VST 3 controller through its own
  // plain-to-normalized conversion.
  void SetBoth(clap_id id, double plain) {
    clap.Flush(id, plain);
    vst3.SetParam(
        id, v3_cpp_obj(vst3.controller)->plain_parameter_to_normalised(vst3.controller, id, plain));
  }
  std::vector<uint8_t> Vst3Save() {
    MemoryStream stream;
    EXPECT_EQ(v3_cpp_obj(vst3.component)->get_state(vst3.component, stream.Stream()), kResultOk);
    return std::vector<uint8_t>(stream.Bytes().begin(), stream.Bytes().end());
  }
  bool Vst3Load(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(std::vector<char>(bytes.begin(), bytes.end()));
    return v3_cpp_obj(vst3.component)->set_state(vst3.component, stream.Stream()) == kResultOk;
  }
};
