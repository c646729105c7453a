// Small helpers for lilv's nodes: one freed when it goes, and a node's text.
// [host main thread]
#pragma once

#include <lilv/lilv.h>

#include <memory>
#include <string>

struct LilvNodeDeleter {
  void operator()(LilvNode* node) const { lilv_node_free(node); }
};
using OwnedNode = std::unique_ptr<LilvNode, LilvNodeDeleter>;

inline std::string TextOf(const LilvNode* node) {
  return node != nullptr && lilv_node_as_string(node) ? lilv_node_as_string(node) : "";
}
