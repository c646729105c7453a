// The LV2 bundle's names and port layout, shared by the plug-in, its UI and
// the tool that describes both: two audio inputs, two audio outputs, one
// event input for MIDI and the host's transport, then one control port per
// host parameter, in the parameters' order.
#pragma once

#include <cstdint>

constexpr char kLv2PluginUri[] = "urn:quorvel:step-gate";
constexpr char kLv2UiUri[] = "urn:quorvel:step-gate#ui";
// The one state property: the instance's saved state, as every format saves it.
constexpr char kLv2StateKeyUri[] = "urn:quorvel:step-gate#state";
constexpr char kLv2BinaryName[] = "quorvel.so";

constexpr uint32_t kLv2InLeft = 0;
constexpr uint32_t kLv2InRight = 1;
constexpr uint32_t kLv2OutLeft = 2;
constexpr uint32_t kLv2OutRight = 3;
constexpr uint32_t kLv2ControlIn = 4;
// Port kLv2FirstParamPort + i is host parameter i.
constexpr uint32_t kLv2FirstParamPort = 5;
// Room for the parameters' ports; an instance with more is refused.
constexpr int32_t kLv2MaxParamPorts = 64;
