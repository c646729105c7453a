// libFuzzer target for everything a host can call: the byte string is decoded
// into a sequence of operations on one live effect (dispatcher opcodes with
// arbitrary index, value and opt, the parameter callbacks, the three audio
// callbacks with fuzz-chosen block lengths, changes to what the host answers
// for time info and identity, closing and reopening). Pointers are always
// what a host would pass: text buffers of the sizes hosts use with guard
// bytes around them, properly sized records with fuzzed contents, and out-
// parameters for the opcodes that return addresses.
//
// A crash, a sanitizer report, a write outside a buffer, a text answer
// without its terminator, a parameter outside 0..1 or a non-finite sample
// from finite input aborts.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_host.h"
#include "fuzz_input.h"
#include "host_arguments.h"

using namespace vst2;

namespace {

constexpr int kMaxOperations = 200;
constexpr int32_t kMaxFrames = 4096;
// The opcodes the effect answers, for picking them more often than chance.
const int32_t kHandledOpcodes[] = {
    effOpen,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditIdle,
    effIdentify,
    effGetChunk,
    effSetChunk,
    effProcessEvents,
    effCanBeAutomated,
    effString2Parameter,
    effGetProgramNameIndexed,
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBypass,
    effGetEffectName,
    effGetParameterProperties,
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific,
    effCanDo,
    effIdle,
    effGetVstVersion,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effStartProcess,
    effStopProcess,
};

class Session {
 public:
  explicit Session(FuzzInput& input) : input_(input) { host_.Open(); }

  void Run() {
    for (int i = 0; i < kMaxOperations && !input_.Empty(); ++i) Step();
    CheckParametersSane(host_);
    CheckProcessFinite(host_);
  }

 private:
  void Step() {
    switch (input_.Choose(16)) {
      case 0:
      case 1:
      case 2:
      case 3:
      case 4:
      case 5:
        DispatchOne();
        break;
      case 6:
      case 7:
        host_.effect()->setParameter(host_.effect(), FuzzIndex(input_), FuzzFloat(input_));
        break;
      case 8:
        ReadParameter();
        break;
      case 9:
      case 10:
        ProcessFloat();
        break;
      case 11:
        ProcessDouble();
        break;
      case 12:
        ChangeTimeInfo();
        break;
      case 13:
        ChangeIdentity();
        break;
      case 14:
        if (input_.Choose(8) == 0) host_.Open();  // effClose, then a new instance
        break;
      default:
        CheckParametersSane(host_);
        break;
    }
  }

  int32_t PickOpcode() {
    const uint8_t how = input_.Byte();
    if (how < 96) return how;  // every low opcode, handled or not
    if (how < 250)
      return kHandledOpcodes[how % (sizeof kHandledOpcodes / sizeof kHandledOpcodes[0])];
    return input_.Raw<int32_t>();
  }

  void DispatchOne() {
    const int32_t opcode = PickOpcode();
    if (opcode == effClose) {
      host_.Open();
      return;
    }
    const int32_t index = FuzzIndex(input_);
    intptr_t value = FuzzValue(input_);
    const float opt = FuzzFloat(input_);
    switch (opcode) {
      case effGetProgramName:
      case effGetProgramNameIndexed:
        TextAnswer(opcode, index, value, opt, kMaxProgNameLen + 1);
        return;
      case effGetParamLabel:
      case effGetParamDisplay:
      case effGetParamName:
        TextAnswer(opcode, index, value, opt, kMaxParamStrLen + 1);
        return;
      case effGetEffectName:
        TextAnswer(opcode, index, value, opt, kMaxEffectNameLen + 1);
        return;
      case effGetVendorString:
      case effGetProductString:
        TextAnswer(opcode, index, value, opt, kMaxVendorStrLen + 1);
        return;
      case effSetProgramName:
      case effString2Parameter:
      case effCanDo:
        TextQuestion(opcode, index, value, opt);
        return;
      case effVendorSpecific:
        VendorSpecific(opt);
        return;
      case effEditGetRect: {
        ERect* rect = nullptr;
        if (host_.Dispatch(opcode, index, value, &rect, opt) == 1) {
          FUZZ_CHECK(rect != nullptr, "effEditGetRect answered without a rectangle");
        }
        return;
      }
      case effGetChunk:
        GetChunk(index, value, opt);
        return;
      case effSetChunk:
        SetChunk(index, opt);
        return;
      case effProcessEvents:
        ProcessEvents(index, value, opt);
        return;
      case effGetInputProperties:
      case effGetOutputProperties: {
        GuardedBuffer pin(sizeof(VstPinProperties));
        input_.Take(pin.data(), pin.size());
        const intptr_t result = host_.Dispatch(opcode, index, value, pin.data(), opt);
        pin.CheckGuards();
        if (result) {
          const VstPinProperties* properties = reinterpret_cast<VstPinProperties*>(pin.data());
          FUZZ_CHECK(memchr(properties->label, '\0', sizeof properties->label) != nullptr,
                     "a pin label without its terminator");
        }
        return;
      }
      case effGetParameterProperties: {
        GuardedBuffer record(sizeof(VstParameterProperties));
        input_.Take(record.data(), record.size());
        const intptr_t result = host_.Dispatch(opcode, index, value, record.data(), opt);
        record.CheckGuards();
        FUZZ_CHECK(result == 0 || (index >= 0 && index < host_.effect()->numParams),
                   "parameter properties for a parameter the host was not told about");
        if (result) {
          const auto* properties = reinterpret_cast<VstParameterProperties*>(record.data());
          FUZZ_CHECK(memchr(properties->label, '\0', sizeof properties->label) != nullptr &&
                         memchr(properties->shortLabel, '\0', sizeof properties->shortLabel),
                     "a parameter label without its terminator");
        }
        return;
      }
      case effSetSpeakerArrangement:
        SetSpeakerArrangement(index, opt);
        return;
      case effGetSpeakerArrangement: {
        VstSpeakerArrangement* inputs = nullptr;
        VstSpeakerArrangement* outputs = nullptr;
        const bool giveInputs = input_.Choose(4) != 0;
        const bool giveOutputs = input_.Choose(4) != 0;
        host_.Dispatch(opcode, index, giveInputs ? reinterpret_cast<intptr_t>(&inputs) : 0,
                       giveOutputs ? &outputs : nullptr, opt);
        // The answers must point at whole records.
        volatile int32_t channels = 0;
        if (inputs)
          channels = channels + inputs->numChannels + inputs->speakers[kMaxSpeakers - 1].type;
        if (outputs)
          channels = channels + outputs->numChannels + outputs->speakers[kMaxSpeakers - 1].type;
        return;
      }
      case effGetMidiKeyName: {
        GuardedBuffer key(sizeof(vst2::MidiKeyName));
        input_.Take(key.data(), key.size());
        host_.Dispatch(opcode, index, value, key.data(), opt);
        key.CheckGuards();
        const vst2::MidiKeyName* name = reinterpret_cast<vst2::MidiKeyName*>(key.data());
        FUZZ_CHECK(memchr(name->keyName, '\0', sizeof name->keyName) != nullptr,
                   "a key name without its terminator");
        return;
      }
      case effSetBlockSize:
        // Hosts announce block sizes in the thousands; a few ask for absurd ones.
        if (input_.Choose(4) != 0) value = input_.Raw<uint16_t>();
        break;
      default:
        break;
    }
    // Every other opcode takes no pointer the effect may write: hand it a
    // filled buffer (or none) and require it untouched.
    if (input_.Choose(4) == 0) {
      host_.Dispatch(opcode, index, value, nullptr, opt);
      return;
    }
    GuardedBuffer untouched(256);
    input_.Take(untouched.data(), untouched.size());
    const std::vector<char> copy(untouched.data(), untouched.data() + untouched.size());
    host_.Dispatch(opcode, index, value, untouched.data(), opt);
    untouched.CheckGuards();
    FUZZ_CHECK(memcmp(copy.data(), untouched.data(), copy.size()) == 0,
               "an opcode without an answer wrote into the host's buffer");
  }

  void TextAnswer(int32_t opcode, int32_t index, intptr_t value, float opt, size_t minimum) {
    if (input_.Choose(16) == 0) {
      host_.Dispatch(opcode, index, value, nullptr, opt);
      return;
    }
    GuardedBuffer text(TextBufferSize(input_, minimum));
    memset(text.data(), 'x', text.size());
    host_.Dispatch(opcode, index, value, text.data(), opt);
    text.CheckGuards();
    // Untouched (still all 'x') or a terminated answer.
    FUZZ_CHECK(text.Terminated() || text.data()[0] == 'x', "a text answer without its terminator");
  }

  void TextQuestion(int32_t opcode, int32_t index, intptr_t value, float opt) {
    if (input_.Choose(16) == 0) {
      host_.Dispatch(opcode, index, value, nullptr, opt);
      return;
    }
    GuardedBuffer text(TextBufferSize(input_, 1));
    FillText(input_, text);
    host_.Dispatch(opcode, index, value, text.data(), opt);
    text.CheckGuards();
  }

  void VendorSpecific(float opt) {
    static const int32_t kRequests[] = {7, 8, 27, 0x73744341};
    const int32_t index =
        input_.Choose(8) == 0 ? input_.Raw<int32_t>() : kRequests[input_.Choose(4)];
    const intptr_t value = index == 0x73744341 && input_.Choose(2) ? 0x57686565 : FuzzValue(input_);
    if (input_.Choose(8) == 0) {
      host_.Dispatch(effVendorSpecific, index, value, nullptr, opt);
      return;
    }
    // The host extensions pass a text buffer of their own; the effect keeps
    // its answers within kVendorTextLen, and a display within a parameter
    // display's bound.
    GuardedBuffer text(input_.Choose(2) ? kVendorTextLen : 256);
    FillText(input_, text);
    const std::vector<char> before(text.data(), text.data() + text.size());
    host_.Dispatch(effVendorSpecific, index, value, text.data(), opt);
    text.CheckGuards();
    FUZZ_CHECK(text.Terminated(), "a vendor answer without its terminator");
    const bool written = memcmp(before.data(), text.data(), before.size()) != 0;
    FUZZ_CHECK(index != 7 || !written || strnlen(text.data(), text.size()) <= kMaxParamStrLen,
               "a display longer than a parameter display may be");
  }

  void GetChunk(int32_t index, intptr_t value, float opt) {
    if (input_.Choose(16) == 0) {
      FUZZ_CHECK(host_.Dispatch(effGetChunk, index, value, nullptr, opt) == 0,
                 "effGetChunk without a pointer answered");
      return;
    }
    void* data = nullptr;
    const intptr_t size = host_.Dispatch(effGetChunk, index, value, &data, opt);
    FUZZ_CHECK(size == kChunkBytes && data != nullptr, "effGetChunk gave the wrong size");
    lastChunk_.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  }

  void SetChunk(int32_t index, float opt) {
    std::vector<uint8_t> bytes;
    if (input_.Choose(2) && !lastChunk_.empty()) {
      bytes = lastChunk_;
      const uint8_t flip = input_.Byte();
      if (flip < 140) bytes[flip] = input_.Byte();
      bytes.resize(bytes.size() - input_.Choose(8));
    } else {
      bytes.resize(input_.Choose(160));
      bytes.resize(input_.Take(bytes.data(), bytes.size()));
    }
    // A block of exactly the chunk's size, so reading past it is caught.
    std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size()]);
    if (!bytes.empty()) memcpy(block.get(), bytes.data(), bytes.size());
    switch (input_.Choose(8)) {
      case 0:
        host_.Dispatch(effSetChunk, index, static_cast<intptr_t>(bytes.size()), nullptr, opt);
        break;
      case 1:
        host_.Dispatch(effSetChunk, index, -1 - static_cast<intptr_t>(bytes.size()), block.get(),
                       opt);
        break;
      default: {
        const intptr_t result = host_.Dispatch(
            effSetChunk, index, static_cast<intptr_t>(bytes.size()), block.get(), opt);
        FUZZ_CHECK(result == (JudgeChunk(bytes.data(), bytes.size()).succeeds ? 1 : 0),
                   "effSetChunk reports the wrong result");
      }
    }
  }

  void ProcessEvents(int32_t index, intptr_t value, float opt) {
    if (input_.Choose(16) == 0) {
      host_.Dispatch(effProcessEvents, index, value, nullptr, opt);
      return;
    }
    const int32_t count = static_cast<int32_t>(input_.Choose(9));
    // The list's pointer array is as long as its count says.
    const size_t listBytes = offsetof(VstEvents, events) +
                             sizeof(VstEvent*) * static_cast<size_t>(count > 2 ? count : 2);
    std::vector<uint8_t> listStorage(listBytes, 0);
    VstEvents* list = reinterpret_cast<VstEvents*>(listStorage.data());
    list->numEvents = count;
    // The record declares two entries; the list goes on past them.
    VstEvent** entries = list->events;
    std::vector<VstMidiSysexEvent> records(static_cast<size_t>(count));
    std::vector<std::vector<char>> dumps(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
      VstMidiSysexEvent& record = records[static_cast<size_t>(i)];
      input_.Take(&record, sizeof record);
      const uint32_t kind = input_.Choose(4);
      if (kind == 0) {
        entries[i] = nullptr;
        continue;
      }
      entries[i] = reinterpret_cast<VstEvent*>(&record);
      if (kind == 1) {
        record.type = kVstMidiType;
        record.byteSize = sizeof(VstMidiEvent);
      } else if (kind == 2) {
        record.type = kVstSysExType;
        record.byteSize = sizeof(VstMidiSysexEvent);
        std::vector<char>& dump = dumps[static_cast<size_t>(i)];
        dump.resize(input_.Choose(64));
        input_.Take(dump.data(), dump.size());
        record.dumpBytes = static_cast<int32_t>(dump.size());
        record.sysexDump = dump.empty() ? nullptr : dump.data();
      } else if (record.type == kVstMidiType || record.type == kVstSysExType) {
        record.type += 100;  // any other type, which the effect must skip
      }
    }
    FUZZ_CHECK(host_.Dispatch(effProcessEvents, index, value, list, opt) == 1,
               "effProcessEvents refused a list");
  }

  void SetSpeakerArrangement(int32_t index, float opt) {
    VstSpeakerArrangement arrangements[2];
    VstSpeakerArrangement* given[2] = {nullptr, nullptr};
    for (int side = 0; side < 2; ++side) {
      memset(&arrangements[side], 0, sizeof arrangements[side]);
      if (input_.Choose(4) == 0) continue;
      arrangements[side].type = static_cast<int8_t>(input_.Byte());
      arrangements[side].numChannels =
          input_.Choose(4) == 0 ? input_.Raw<int32_t>() : static_cast<int32_t>(input_.Choose(9));
      given[side] = &arrangements[side];
    }
    host_.Dispatch(effSetSpeakerArrangement, index, reinterpret_cast<intptr_t>(given[0]), given[1],
                   opt);
  }

  void ReadParameter() {
    const int32_t index = FuzzIndex(input_);
    const float position = host_.GetParameter(index);
    if (index >= 0 && index < kInstanceParams) {
      FUZZ_CHECK(std::isfinite(position) && position >= 0.0f && position <= 1.0f,
                 "a parameter reads outside 0..1");
    } else {
      FUZZ_CHECK(position == 0.0f, "a parameter outside the range reads non-zero");
    }
  }

  int32_t PickFrames() {
    switch (input_.Choose(4)) {
      case 0:
        return static_cast<int32_t>(input_.Choose(8));
      case 1:
        return static_cast<int32_t>(input_.Raw<uint16_t>() % (kMaxFrames + 1));
      default:
        return static_cast<int32_t>(input_.Choose(128)) * 8;
    }
  }

  // A finite input signal of the chosen kind, no louder than +-4.
  template <class Sample>
  void FillSignal(std::vector<Sample>& channel, int c) {
    const uint32_t kind = input_.Choose(5);
    const Sample dc = static_cast<Sample>(static_cast<int8_t>(input_.Byte()) / 32.0);
    for (size_t j = 0; j < channel.size(); ++j) {
      switch (kind) {
        case 0:
          channel[j] = 0;
          break;
        case 1:
          channel[j] = static_cast<Sample>(0.8 * std::sin(0.03 * static_cast<double>(j) + c));
          break;
        case 2:
          channel[j] = dc;
          break;
        case 3:
          channel[j] = static_cast<Sample>(j % 2 ? 4.0 : -4.0);
          break;
        default:
          channel[j] = static_cast<Sample>(static_cast<int8_t>(input_.Byte()) / 32.0);
          break;
      }
    }
  }

  template <class Sample, class Callback>
  void Process(Callback callback) {
    const int32_t frames = PickFrames();
    const uint32_t layout = input_.Choose(16);
    const bool inPlace = layout < 3;
    const bool accumulate = layout == 3;
    const bool nullInputs = layout == 4;
    const bool nullOutputs = layout == 5;
    constexpr size_t kTail = 8;  // guard samples past each channel's frames
    constexpr Sample kGuardSample = static_cast<Sample>(1234.5);
    std::vector<Sample> in[2], out[2];
    for (int c = 0; c < 2; ++c) {
      in[c].assign(static_cast<size_t>(frames) + kTail, kGuardSample);
      out[c].assign(static_cast<size_t>(frames) + kTail, kGuardSample);
      std::vector<Sample> signal(static_cast<size_t>(frames));
      FillSignal(signal, c);
      std::copy(signal.begin(), signal.end(), in[c].begin());
      std::fill(out[c].begin(), out[c].begin() + frames, static_cast<Sample>(0.25));
    }
    Sample* inputs[2] = {in[0].data(), in[1].data()};
    Sample* outputs[2] = {out[0].data(), out[1].data()};
    if (inPlace) {
      outputs[0] = inputs[0];
      outputs[1] = inputs[1];
    }
    callback(host_.effect(), nullInputs ? nullptr : inputs, nullOutputs ? nullptr : outputs, frames,
             accumulate);
    for (int c = 0; c < 2; ++c) {
      for (std::vector<Sample>* channel : {&in[c], &out[c]}) {
        for (size_t j = 0; j < static_cast<size_t>(frames); ++j) {
          FUZZ_CHECK(std::isfinite((*channel)[j]), "a non-finite sample from finite input");
        }
        for (size_t j = static_cast<size_t>(frames); j < channel->size(); ++j) {
          FUZZ_CHECK((*channel)[j] == kGuardSample, "the effect wrote past the block");
        }
      }
    }
  }

  void ProcessFloat() {
    Process<float>([](AEffect* effect, float** inputs, float** outputs, int32_t frames,
                      bool accumulate) {
      (accumulate ? effect->process : effect->processReplacing)(effect, inputs, outputs, frames);
    });
  }

  void ProcessDouble() {
    Process<double>([](AEffect* effect, double** inputs, double** outputs, int32_t frames, bool) {
      effect->processDoubleReplacing(effect, inputs, outputs, frames);
    });
  }

  void ChangeTimeInfo() {
    if (input_.Choose(8) == 0) {
      host_.giveTimeInfo = !host_.giveTimeInfo;
      return;
    }
    VstTimeInfo& time = host_.timeInfo;
    switch (input_.Choose(6)) {
      case 0:
        time.tempo = FuzzDouble(input_);
        break;
      case 1:
        time.samplePos = FuzzDouble(input_);
        break;
      case 2:
        time.ppqPos = FuzzDouble(input_);
        break;
      case 3:
        time.flags =
            input_.Choose(2) ? input_.Raw<int32_t>() : time.flags ^ (1 << input_.Choose(16));
        break;
      case 4:
        time.timeSigNumerator = static_cast<int8_t>(input_.Byte());
        time.timeSigDenominator =
            input_.Choose(2) ? input_.Raw<int32_t>() : static_cast<int8_t>(input_.Byte());
        break;
      default:
        time.sampleRate = FuzzDouble(input_);
        time.barStartPos = FuzzDouble(input_);
        break;
    }
  }

  // The host's identity only matters at effOpen; a later reopen picks it up.
  void ChangeIdentity() {
    static const char* const kProducts[] = {"",          "Reaper",   "Cubase",
                                            "Forte",     "Audition", "Orion",
                                            "SAWStudio", "Live",     "FL Studio fruity"};
    if (input_.Choose(2)) {
      strncpy(host_.productString, kProducts[input_.Choose(9)], sizeof host_.productString - 1);
    } else {
      const size_t length = input_.Take(host_.productString, input_.Choose(65));
      host_.productString[length < 64 ? length : 64] = '\0';
    }
    host_.vendorVersion = FuzzValue(input_);
  }

  FuzzInput& input_;
  FuzzHost host_;
  std::vector<uint8_t> lastChunk_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  Session session(input);
  session.Run();
  return 0;
}
