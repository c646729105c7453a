// Whether every begin-edit a host received is followed by its end, and no
// end comes without one, read from a host's log of calls (any record with
// `opcode` and `index`). Shared by the editor tests of every window system.
#pragma once

#include <map>
#include <string>

#include "framework/vst2_interface.h"

// The problems found, "" when every gesture is closed.
template <class HostCalls>
std::string UnbalancedGesturesIn(const HostCalls& calls) {
  std::map<int, int> open;
  std::string problems;
  for (const auto& call : calls) {
    if (call.opcode == vst2::audioMasterBeginEdit) ++open[call.index];
    if (call.opcode != vst2::audioMasterEndEdit) continue;
    if (open[call.index]-- == 0)
      problems += "end without begin for " + std::to_string(call.index) + "; ";
  }
  for (const auto& [index, depth] : open) {
    if (depth > 0) problems += "begin without end for " + std::to_string(index) + "; ";
  }
  return problems;
}
