// The state image of IPlugBase: the saved parameters as little-endian
// doubles, and the preset bank image.
#include <cstring>

#include "framework/plug_base.h"
#include "framework/text_copy.h"

bool IPlugBase::SaveState(StateBuffer& buffer) { return SaveParams(buffer); }

int32_t IPlugBase::LoadState(const StateBuffer& buffer, int32_t position) {
  return LoadParams(buffer, position);
}

bool IPlugBase::SaveParams(StateBuffer& buffer) {
  ScopedLock lock(instanceLock_);
  bool ok = true;
  const int count = NSavedParams();
  for (int i = 0; i < count; ++i) {
    if (!buffer.AppendDouble(params_[static_cast<size_t>(i)]->Value())) ok = false;
  }
  return ok;
}

int32_t IPlugBase::LoadParams(const StateBuffer& buffer, int32_t position) {
  ScopedLock lock(instanceLock_);
  const int count = NSavedParams();
  for (int i = 0; i < count && position >= 0; ++i) {
    double value = 0.0;
    position = buffer.ReadDouble(position, &value);
    // A value whose bytes are missing is not invented: the parameter keeps
    // what it had, and the short read is reported by the -1 position.
    // Stepped as every other store, so a stray fraction cannot make the
    // display and the engine disagree.
    if (position >= 0) {
      IPlugParam* param = params_[static_cast<size_t>(i)];
      param->SetValue(param->SnapToStep(value));
    }
  }
  for (int i = 0; i < NParams(); ++i) OnParamChanged(i);
  return position;
}

bool IPlugBase::SavePresetBank(StateBuffer& buffer) {
  ScopedLock lock(instanceLock_);
  bool ok = true;
  for (const PresetSlot* preset : presets_) {
    const int32_t length = static_cast<int32_t>(strlen(preset->name));
    ok = buffer.AppendInt32(length) && ok;
    ok = buffer.AppendBytes(preset->name, length) && ok;
    const uint8_t inUse = preset->inUse ? 1 : 0;
    ok = buffer.AppendBytes(&inUse, 1) && ok;
    if (!preset->inUse) continue;
    // The image carries no length for a preset's values, so every in-use
    // preset writes exactly the saved parameters: a factory preset's extra
    // values are left out, and values a preset never received (a slot not
    // yet captured) are the current ones, as a capture would store them.
    for (int i = 0; i < NSavedParams(); ++i) {
      double value = params_[static_cast<size_t>(i)]->Value();
      preset->state.ReadDouble(8 * i, &value);
      ok = buffer.AppendDouble(value) && ok;
    }
  }
  return ok;
}

int32_t IPlugBase::LoadPresetBank(const StateBuffer& buffer, int32_t position) {
  ScopedLock lock(instanceLock_);
  for (PresetSlot* preset : presets_) {
    if (position < 0) break;
    int32_t length = 0;
    position = buffer.ReadInt32(position, &length);
    if (position < 0) break;
    preset->name[0] = '\0';
    if (length < 0 || length > buffer.Size() - position) {
      position = -1;  // a length that cannot be right: the rest is not trusted
      break;
    }
    const int32_t kept = length < PresetSlot::kNameSize ? length : PresetSlot::kNameSize - 1;
    buffer.ReadBytes(position, preset->name, kept);
    preset->name[kept] = '\0';
    position += length;

    uint8_t inUse = 0;
    position = buffer.ReadBytes(position, &inUse, 1);
    if (position < 0) break;
    preset->inUse = inUse != 0;
    if (preset->inUse) {
      position = LoadParams(buffer, position);
      if (position > 0) {
        preset->state.Clear();
        SaveParams(preset->state);
      }
    }
  }
  SelectPreset(currentPreset_);
  return position;
}
