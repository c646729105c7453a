// The three VST 2 audio callbacks of IPlugVST. Float blocks are converted to
// and from the per-channel double scratch buffers; the double callback hands
// the host's arrays straight to ProcessBlock. Every block runs in slices of at
// most the block size, so a host that passes more frames than it announced
// cannot overrun a scratch buffer. No allocation here.
#include <cstring>

#include "framework/plug_vst.h"

using namespace vst2;

namespace {

IPlugVST* InstanceOf(AEffect* effect) {
  return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

void FloatToDouble(const float* source, double* dest, int32_t frames) {
  int32_t j = 0;
  for (; j + 4 <= frames; j += 4) {
    dest[j] = source[j];
    dest[j + 1] = source[j + 1];
    dest[j + 2] = source[j + 2];
    dest[j + 3] = source[j + 3];
  }
  for (; j < frames; ++j) dest[j] = source[j];
}

void DoubleToFloat(const double* source, float* dest, int32_t frames) {
  int32_t j = 0;
  for (; j + 4 <= frames; j += 4) {
    dest[j] = static_cast<float>(source[j]);
    dest[j + 1] = static_cast<float>(source[j + 1]);
    dest[j + 2] = static_cast<float>(source[j + 2]);
    dest[j + 3] = static_cast<float>(source[j + 3]);
  }
  for (; j < frames; ++j) dest[j] = static_cast<float>(source[j]);
}

void AddDoubleToFloat(const double* source, float* dest, int32_t frames) {
  int32_t j = 0;
  for (; j + 4 <= frames; j += 4) {
    dest[j] += static_cast<float>(source[j]);
    dest[j + 1] += static_cast<float>(source[j + 1]);
    dest[j + 2] += static_cast<float>(source[j + 2]);
    dest[j + 3] += static_cast<float>(source[j + 3]);
  }
  for (; j < frames; ++j) dest[j] += static_cast<float>(source[j]);
}

// Runs `slice(offset, count)` over the block in pieces of at most the block
// size, so a host that passes more frames than it announced cannot overrun a
// scratch buffer. An empty block still runs once, with no frames: the
// effect's per-block work (host queries, pending edits) runs as for any block.
template <class Slice>
void ForEachSlice(int32_t frames, int32_t sliceSize, Slice slice) {
  const int32_t total = frames > 0 ? frames : 0;
  int32_t offset = 0;
  do {
    const int32_t count = total - offset < sliceSize ? total - offset : sliceSize;
    slice(offset, count);
    offset += count;
  } while (offset < total);
}

}  // namespace

void VST2_CALL IPlugVST::ProcessAccumulating(AEffect* effect, float** inputs, float** outputs,
                                             int32_t frames) {
  if (IPlugVST* plug = InstanceOf(effect)) plug->ProcessFloat(inputs, outputs, frames, true);
}

void VST2_CALL IPlugVST::ProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                          int32_t frames) {
  if (IPlugVST* plug = InstanceOf(effect)) plug->ProcessFloat(inputs, outputs, frames, false);
}

void VST2_CALL IPlugVST::ProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                int32_t frames) {
  if (IPlugVST* plug = InstanceOf(effect)) plug->ProcessDouble(inputs, outputs, frames);
}

void IPlugVST::ProcessFloat(float** inputs, float** outputs, int32_t frames, bool accumulate) {
  ScopedLock lock(InstanceLock());
  const int programBefore = CurrentPresetIndex();
  OnHostBlockStart(frames > 0 ? frames : 0);
  ForEachSlice(frames, BlockSize(), [&](int32_t offset, int32_t count) {
    ProcessFloatSlice(inputs, outputs, offset, count, accumulate);
  });
  NoteProgramSwitch(programBefore);
}

void IPlugVST::ProcessFloatSlice(float** inputs, float** outputs, int32_t offset, int32_t frames,
                                 bool accumulate) {
  int hostChannel = 0;
  for (InputChannel* input : InputChannels()) {
    if (!input->connected) continue;
    const float* source = inputs ? inputs[hostChannel] : nullptr;
    ++hostChannel;
    double* scratch = input->scratch.data();
    if (source) {
      FloatToDouble(source + offset, scratch, frames);
    } else {
      memset(scratch, 0, static_cast<size_t>(frames) * sizeof(double));
    }
    *input->slot = scratch;
  }
  hostChannel = 0;
  for (OutputChannel* output : OutputChannels()) {
    if (!output->connected) continue;
    output->destination = outputs ? outputs[hostChannel] : nullptr;
    ++hostChannel;
    *output->slot = output->scratch.data();
  }

  ProcessBlock(InputPointers(), OutputPointers(), frames);

  for (OutputChannel* output : OutputChannels()) {
    if (!output->connected || !output->destination) continue;
    if (accumulate) {
      AddDoubleToFloat(output->scratch.data(), output->destination + offset, frames);
    } else {
      DoubleToFloat(output->scratch.data(), output->destination + offset, frames);
    }
  }
}

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int32_t frames) {
  ScopedLock lock(InstanceLock());
  const int programBefore = CurrentPresetIndex();
  OnHostBlockStart(frames > 0 ? frames : 0);
  ForEachSlice(frames, BlockSize(), [&](int32_t offset, int32_t count) {
    int hostChannel = 0;
    for (InputChannel* input : InputChannels()) {
      if (!input->connected) continue;
      double* source = inputs ? inputs[hostChannel] : nullptr;
      ++hostChannel;
      if (source) {
        *input->slot = source + offset;
      } else {
        memset(input->scratch.data(), 0, static_cast<size_t>(count) * sizeof(double));
        *input->slot = input->scratch.data();
      }
    }
    hostChannel = 0;
    for (OutputChannel* output : OutputChannels()) {
      if (!output->connected) continue;
      double* dest = outputs ? outputs[hostChannel] : nullptr;
      ++hostChannel;
      // Without a host array the channel writes into its own buffer and is discarded.
      *output->slot = dest ? dest + offset : output->scratch.data();
    }
    ProcessBlock(InputPointers(), OutputPointers(), count);
  });
  NoteProgramSwitch(programBefore);
}

void IPlugVST::NoteProgramSwitch(int programBefore) {
  // Only a note-on selects a program while a block renders; the host hears
  // of it from its next idle call, never from here.
  if (CurrentPresetIndex() != programBefore) programSwitchUnreported_ = true;
}
