#include "tools/host/audio_render.h"

#include <algorithm>
#include <vector>

#include "tools/host/host_services.h"

namespace {

// Per-channel block buffers in the sample type of the chosen callback.
template <typename Sample>
struct BlockBuffers {
  std::vector<std::vector<Sample>> inputs, outputs;
  std::vector<Sample*> inputPointers, outputPointers;

  BlockBuffers(int inputCount, int outputCount, size_t frames)
      : inputs(static_cast<size_t>(inputCount), std::vector<Sample>(frames)),
        outputs(static_cast<size_t>(outputCount), std::vector<Sample>(frames)) {
    for (auto& channel : inputs) inputPointers.push_back(channel.data());
    for (auto& channel : outputs) outputPointers.push_back(channel.data());
    // The callbacks take arrays of pointers; give them a valid one even for
    // an effect with no inputs or outputs.
    inputPointers.push_back(nullptr);
    outputPointers.push_back(nullptr);
  }
};

// effProcessEvents with the notes of samples [start, end), offsets from start.
void SendNotes(vst2::AEffect* effect, const std::vector<TimedNoteOn>& notes, int64_t start,
               int64_t end, int64_t total) {
  std::vector<vst2::VstMidiEvent> midi;
  for (const TimedNoteOn& note : notes) {
    if (!NoteGoesWithBlock(note.offset, start, end, total)) continue;
    vst2::VstMidiEvent event = {};
    event.type = vst2::kVstMidiType;
    event.byteSize = sizeof event;
    event.deltaFrames = static_cast<int32_t>(note.offset - start);
    event.midiData[0] = static_cast<char>(0x90);
    event.midiData[1] = static_cast<char>(note.note);
    event.midiData[2] = static_cast<char>(note.velocity);
    midi.push_back(event);
  }
  if (midi.empty()) return;
  // The record's list runs on past its two declared entries.
  std::vector<char> storage(sizeof(vst2::VstEvents) + midi.size() * sizeof(vst2::VstEvent*));
  auto* events = reinterpret_cast<vst2::VstEvents*>(storage.data());
  events->numEvents = static_cast<int32_t>(midi.size());
  for (size_t i = 0; i < midi.size(); ++i) {
    events->events[i] = reinterpret_cast<vst2::VstEvent*>(&midi[i]);
  }
  effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, events, 0.0f);
}

template <typename Sample, typename Call>
void RenderBlocks(vst2::AEffect* effect, const WavAudio& input,
                  const std::vector<TimedParamChange>& changes,
                  const std::vector<TimedNoteOn>& notes, WavAudio& output, Call call) {
  HostServices& host = Host();
  const size_t blockFrames = static_cast<size_t>(host.blockSize);
  const size_t frames = input.frames();
  const size_t fileChannels = input.channels.size();
  BlockBuffers<Sample> buffers(effect->numInputs, effect->numOutputs, blockFrames);
  size_t nextChange = 0;
  for (size_t start = 0; start < frames; start += blockFrames) {
    const size_t count = std::min(blockFrames, frames - start);
    for (size_t c = 0; c < buffers.inputs.size(); ++c) {
      const std::vector<float>& source = input.channels[c % fileChannels];
      std::copy(source.begin() + static_cast<long>(start),
                source.begin() + static_cast<long>(start + count), buffers.inputs[c].begin());
    }
    // The accumulating callback adds to what is there: start each block from silence.
    for (auto& channel : buffers.outputs) std::fill(channel.begin(), channel.end(), Sample(0));
    size_t done = 0;
    do {
      // Changes due by this sample go in first; the next one ends the piece.
      size_t pieceEnd = count;
      for (; nextChange < changes.size(); ++nextChange) {
        const TimedParamChange& change = changes[nextChange];
        const int64_t at = change.offset - static_cast<int64_t>(start);
        if (at > static_cast<int64_t>(done)) {
          if (at < static_cast<int64_t>(count)) pieceEnd = static_cast<size_t>(at);
          break;
        }
        effect->setParameter(effect, change.index, static_cast<float>(change.value));
      }
      const size_t piece = pieceEnd - done;
      std::vector<Sample*> in(buffers.inputPointers), out(buffers.outputPointers);
      for (size_t c = 0; c < buffers.inputs.size(); ++c) in[c] += done;
      for (size_t c = 0; c < buffers.outputs.size(); ++c) out[c] += done;
      SendNotes(effect, notes, static_cast<int64_t>(start + done),
                static_cast<int64_t>(start + pieceEnd), static_cast<int64_t>(frames));
      host.processing = true;
      call(in.data(), out.data(), static_cast<int32_t>(piece));
      host.processing = false;
      if (host.Advancing()) host.samplePosition += static_cast<double>(piece);
      done = pieceEnd;
    } while (done < count);
    for (size_t c = 0; c < buffers.outputs.size(); ++c) {
      for (size_t f = 0; f < count; ++f) {
        output.channels[c][start + f] = static_cast<float>(buffers.outputs[c][f]);
      }
    }
  }
}

}  // namespace

bool ParseProcessCallback(const std::string& name, ProcessCallback& callback) {
  if (name == "replacing") {
    callback = ProcessCallback::Replacing;
  } else if (name == "double") {
    callback = ProcessCallback::DoubleReplacing;
  } else if (name == "accumulating") {
    callback = ProcessCallback::Accumulating;
  } else {
    return false;
  }
  return true;
}

bool RenderThroughEffect(vst2::AEffect* effect, const WavAudio& input, ProcessCallback callback,
                         const std::vector<TimedParamChange>& changes,
                         const std::vector<TimedNoteOn>& notes, WavAudio& output,
                         std::string& error) {
  if (effect->numOutputs < 1 || effect->numOutputs > kWavMaxChannels || effect->numInputs < 0 ||
      effect->numInputs > 64) {
    error = "effect has an unusable channel count";
    return false;
  }
  if (Host().blockSize < 1) {
    error = "block size must be positive";
    return false;
  }
  output.sampleRate = input.sampleRate;
  output.format = WavFormat::Float32;
  output.channels.assign(static_cast<size_t>(effect->numOutputs),
                         std::vector<float>(input.frames()));
  switch (callback) {
    case ProcessCallback::Replacing:
      if (effect->processReplacing == nullptr || !(effect->flags & vst2::effFlagsCanReplacing)) {
        error = "effect does not offer processReplacing";
        return false;
      }
      RenderBlocks<float>(effect, input, changes, notes, output,
                          [effect](float** in, float** out, int32_t n) {
                            effect->processReplacing(effect, in, out, n);
                          });
      return true;
    case ProcessCallback::DoubleReplacing:
      if (effect->processDoubleReplacing == nullptr ||
          !(effect->flags & vst2::effFlagsCanDoubleReplacing)) {
        error = "effect does not offer processDoubleReplacing";
        return false;
      }
      RenderBlocks<double>(effect, input, changes, notes, output,
                           [effect](double** in, double** out, int32_t n) {
                             effect->processDoubleReplacing(effect, in, out, n);
                           });
      return true;
    case ProcessCallback::Accumulating:
      if (effect->process == nullptr) {
        error = "effect has no accumulating process callback";
        return false;
      }
      RenderBlocks<float>(
          effect, input, changes, notes, output,
          [effect](float** in, float** out, int32_t n) { effect->process(effect, in, out, n); });
      return true;
  }
  return false;
}
