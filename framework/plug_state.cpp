// The state image of IPlugBase: the chunk's values as little-endian doubles,
// the extension with the values saved past them, and the preset bank image.
#include <cstring>

#include "framework/plug_base.h"
#include "framework/text_copy.h"

void IPlugBase::SetSavedParams(int inChunk, int saved) {
  if (saved > NParams()) saved = NParams();
  if (saved > inChunk + StateExtension::kMaxValues) saved = inChunk + StateExtension::kMaxValues;
  if (inChunk > saved) inChunk = saved;
  chunkParams_ = inChunk < 0 ? 0 : inChunk;
  savedParams_ = saved < chunkParams_ ? chunkParams_ : saved;
  // A program change may capture on the audio thread: room for a whole image first.
  for (PresetSlot* preset : presets_) preset->state.Reserve(static_cast<size_t>(StateBytes()));
}

int32_t IPlugBase::StateBytes() const {
  return 8 * chunkParams_ + StateExtensionBytes(savedParams_ - chunkParams_);
}

bool IPlugBase::SaveState(StateBuffer& buffer, int32_t program, bool bypassed) {
  ScopedLock lock(instanceLock_);
  StateExtension extension;
  extension.program = program;
  extension.bypassed = bypassed;
  extension.valueCount = savedParams_ - chunkParams_;
  for (int32_t i = 0; i < extension.valueCount; ++i) {
    extension.values[i] = params_[static_cast<size_t>(chunkParams_ + i)]->Value();
  }
  const bool ok = SaveParams(buffer);
  return AppendStateExtension(buffer, extension) && ok;
}

int32_t IPlugBase::LoadState(const StateBuffer& buffer, int32_t position) {
  ScopedLock lock(instanceLock_);
  position = ReadChunkValues(buffer, position);
  if (position == buffer.Size()) {
    ResetExtensionValues();  // a chunk from before the extension carried values
  } else if (position >= 0) {
    // A cut or foreign tail supplies nothing: those parameters keep their values.
    StateExtension extension;
    if (ReadStateExtension(buffer, position, NPresets(), &extension) == ExtensionRead::kComplete) {
      StoreExtensionValues(extension);
    }
  }
  for (int i = 0; i < NParams(); ++i) OnParamChanged(i);
  return position;
}

bool IPlugBase::SaveParams(StateBuffer& buffer) {
  ScopedLock lock(instanceLock_);
  bool ok = true;
  for (int i = 0; i < chunkParams_; ++i) {
    if (!buffer.AppendDouble(params_[static_cast<size_t>(i)]->Value())) ok = false;
  }
  return ok;
}

int32_t IPlugBase::LoadParams(const StateBuffer& buffer, int32_t position) {
  ScopedLock lock(instanceLock_);
  position = ReadChunkValues(buffer, position);
  for (int i = 0; i < NParams(); ++i) OnParamChanged(i);
  return position;
}

int32_t IPlugBase::ReadChunkValues(const StateBuffer& buffer, int32_t position) {
  for (int i = 0; i < chunkParams_ && position >= 0; ++i) {
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
  return position;
}

void IPlugBase::StoreExtensionValues(const StateExtension& extension) {
  for (int i = chunkParams_; i < savedParams_; ++i) {
    IPlugParam* param = params_[static_cast<size_t>(i)];
    // A state from a build that saved fewer values: the ones it did not know
    // start as that build had them, at their defaults.
    const int at = i - chunkParams_;
    param->SetValue(at < extension.valueCount ? param->SnapToStep(extension.values[at])
                                              : param->DefaultValue());
  }
}

void IPlugBase::ResetExtensionValues() {
  StateExtension none;
  StoreExtensionValues(none);
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
    // Each in-use preset writes a whole state image: the chunk's values,
    // then its extension. A preset that has one already writes it as it is;
    // values a preset never received (a slot not yet captured) are the
    // current ones, as a capture would store them.
    const int32_t chunkBytes = 8 * chunkParams_;
    if (preset->state.Size() > chunkBytes &&
        ReadStateExtension(preset->state, chunkBytes, NPresets(), nullptr) ==
            ExtensionRead::kComplete) {
      ok = buffer.AppendBytes(preset->state.Data(), preset->state.Size()) && ok;
      continue;
    }
    for (int i = 0; i < chunkParams_; ++i) {
      double value = params_[static_cast<size_t>(i)]->Value();
      preset->state.ReadDouble(8 * i, &value);
      ok = buffer.AppendDouble(value) && ok;
    }
    StateExtension extension;
    extension.program = PresetIndex(preset);
    extension.valueCount = savedParams_ - chunkParams_;
    for (int32_t i = 0; i < extension.valueCount; ++i) {
      extension.values[i] = params_[static_cast<size_t>(chunkParams_ + i)]->Value();
    }
    ok = AppendStateExtension(buffer, extension) && ok;
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
    if (!preset->inUse) continue;
    position = ReadChunkValues(buffer, position);
    if (position < 0) break;
    // An image from before the extension goes straight on with the next
    // preset's name length, which as a length could never be the tag's bytes
    // (it would run past any image): the tag tells the two apart.
    const int32_t end = StateExtensionEnd(buffer, position);
    if (end < 0) {
      ResetExtensionValues();
    } else {
      StateExtension extension;
      if (end > buffer.Size() || ReadStateExtension(buffer, position, end, NPresets(),
                                                    &extension) != ExtensionRead::kComplete) {
        position = -1;
        break;
      }
      StoreExtensionValues(extension);
      position = end;
    }
    preset->state.Clear();
    SaveState(preset->state, PresetIndex(preset), false);
  }
  SelectPreset(currentPreset_);
  return position;
}
