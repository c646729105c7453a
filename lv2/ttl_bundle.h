// The three descriptions of the bundle, written at build time from an
// instance's parameter table and factory programs. [build tool]
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class EffectInstance;

// The URI of the preset made from program `program`.
std::string PresetUri(int32_t program);
// manifest.ttl: the plug-in, its UI and every preset, with where each is described.
std::string ManifestTtl(EffectInstance& instance);
// quorvel.ttl: the plug-in's ports and features and its UI; reads the
// defaults from `instance`, which should be fresh.
std::string PluginTtl(EffectInstance& instance);
// A fresh instance, opened, as a host has it before choosing a program.
using FreshInstance = std::function<std::unique_ptr<EffectInstance>()>;
// presets.ttl: one preset per program, its ports' values and the name a
// host lists it by: each read from an instance of its own, since choosing
// a program (an empty one above all) starts from the values before it.
std::string PresetsTtl(const FreshInstance& fresh);
