// The VST 2 dispatcher and parameter callbacks of IPlugVST.
#include <cstdio>
#include <cstring>

#include "framework/plug_vst.h"
#include "framework/state_extension.h"
#include "framework/text_copy.h"
#include "framework/vst_keys.h"
#include "framework/vst_param_properties.h"
#include "gui/editor_view.h"

using namespace vst2;

namespace {

constexpr intptr_t kExtensionAnswer = 0xBEEF;
constexpr intptr_t kHostExtensionsAnswer = static_cast<intptr_t>(0xBEEF0000u);
constexpr int32_t kWheelRequest = 0x73744341;  // 'stCA'
constexpr intptr_t kWheelValue = 0x57686565;   // 'Whee'
constexpr int32_t kVendorFormatValue = 7;
// A host announcing its content scale ('PreS', 'AeCs'), the factor in opt.
constexpr int32_t kContentScaleRequest = 0x50726553;
constexpr intptr_t kContentScaleValue = 0x41654373;
constexpr int32_t kVendorIsToggle = 8;
constexpr int32_t kVendorParseValue = 27;

IPlugVST* InstanceOf(AEffect* effect) {
  return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

}  // namespace

intptr_t VST2_CALL IPlugVST::Dispatcher(AEffect* effect, int32_t opcode, int32_t index,
                                        intptr_t value, void* ptr, float opt) {
  IPlugVST* plug = InstanceOf(effect);
  if (!plug) return 0;
  if (opcode == effClose) {
    CloseAndDelete(plug);
    return 0;
  }
  if (opcode == effEditIdle || opcode == effIdle) {
    plug->HostIdle(opcode == effEditIdle);
    return 0;
  }
  if (opcode == effEditKeyDown || opcode == effEditKeyUp) {
    return plug->EditorKey(opcode == effEditKeyDown, index, value, opt);
  }
  ScopedLock lock(plug->InstanceLock());
  return plug->Dispatch(opcode, index, value, ptr, opt);
}

void IPlugVST::CloseAndDelete(IPlugVST* plug) {
  plug->InstanceLock().Enter();
  plug->OnClosing();
  plug->InstanceLock().Leave();
  delete plug;
}

void IPlugVST::HostIdle(bool editorIdle) {
  ReportProgramSwitch();
  // The window takes the instance lock for its own work and leaves it
  // before copying to the screen: the audio thread never waits on X.
  IEditorView* editor = editorIdle ? Editor() : nullptr;
  if (editor) editor->OnHostIdle();
}

void IPlugVST::OpenForHost() {
  ScopedLock lock(InstanceLock());
  HostSpecificSetup();
  for (int i = 0; i < NParams(); ++i) OnParamChanged(i);
}

void IPlugVST::ChangeSampleRate(double rate) {
  ScopedLock lock(InstanceLock());
  if (rate > 0.0) SetSampleRate(rate);
  OnReset();
}

void IPlugVST::ChangeMaxBlockFrames(intptr_t frames) {
  ScopedLock lock(InstanceLock());
  if (frames > 0 && frames <= INT32_MAX) SetMaxBlockFrames(static_cast<int>(frames));
  OnReset();
}

void IPlugVST::ChangeActive(bool active) {
  ScopedLock lock(InstanceLock());
  ChangeActiveLocked(active);
}

void IPlugVST::ChangeActiveLocked(bool active) {
  if (!active) {
    OnActiveChanged(false);
    OnReset();
    return;
  }
  OnActiveChanged(true);
  // Hosts that want telling before they send MIDI are told once per
  // resume; the audio callbacks stay free of host calls.
  if (MidiMode() != 0) CallHost(audioMasterWantMidi, 0, 1, nullptr, 0.0f);
}

void IPlugVST::ChangeProcessing(bool on) {
  ScopedLock lock(InstanceLock());
  OnActiveChanged(on);
}

void IPlugVST::SelectProgramFromHost(intptr_t program) {
  ScopedLock lock(InstanceLock());
  CaptureCurrentPreset(nullptr);
  // Checked before narrowing: a wide value must not wrap onto a real slot.
  SelectPreset(program >= 0 && program < NPresets() ? static_cast<int>(program) : -1);
}

intptr_t IPlugVST::LoadChunk(bool bank, intptr_t size, const void* bytes) {
  ScopedLock lock(InstanceLock());
  return SetChunk(bank ? 0 : 1, size, bytes);
}

bool IPlugVST::OpenEditorIn(void* parent) {
  ScopedLock lock(InstanceLock());
  IEditorView* editor = Editor();
  if (!editor || !editor->OpenEditorWindow(parent)) return false;
  OnEditorOpened();
  return true;
}

bool IPlugVST::CloseEditor() {
  ScopedLock lock(InstanceLock());
  IEditorView* editor = Editor();
  if (!editor) return false;
  OnEditorClosing();
  editor->CloseEditorWindow();
  return true;
}

intptr_t IPlugVST::EditorWheel(float distance) {
  ScopedLock lock(InstanceLock());
  IEditorView* editor = Editor();
  return editor ? editor->HostMouseWheel(distance) : 0;
}

intptr_t IPlugVST::EditorKey(bool down, int32_t character, intptr_t virtualKey, float modifiers) {
  // Like the window's own key messages, without the lock: the editor takes
  // it where it needs it, and calls the host outside it. It acts on
  // presses; releases stay the host's.
  IEditorView* editor = Editor();
  KeyCode key;
  KeyMods mods;
  // Anything a host may send: bits outside a small range are no modifiers,
  // numbers outside the host's key numbers no key.
  const int32_t modifierBits =
      modifiers >= 0.0f && modifiers < 256.0f ? static_cast<int32_t>(modifiers) : 0;
  const int32_t keyNumber =
      virtualKey >= 0 && virtualKey < 256 ? static_cast<int32_t>(virtualKey) : 0;
  if (!down || !editor || !KeyFromHost(character, keyNumber, modifierBits, &key, &mods)) {
    return 0;
  }
  return editor->OnKeyDown(-1, -1, key, mods) ? 1 : 0;
}

intptr_t IPlugVST::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  IEditorView* editor = Editor();
  switch (opcode) {
    case effOpen:
      OpenForHost();
      return 0;
    case effSetProgram:
      SelectProgramFromHost(value);
      return 0;
    case effGetProgram:
      return CurrentPresetIndex();
    case effSetProgramName:
      if (ptr) {
        char name[PresetSlot::kNameSize];
        CopyTextBounded(name, static_cast<const char*>(ptr), sizeof name);
        CaptureCurrentPreset(name);
      }
      return 0;
    case effGetProgramName:
      if (ptr) {
        CopyTextBounded(static_cast<char*>(ptr), PresetName(CurrentPresetIndex()),
                        kMaxProgNameLen + 1);
      }
      return 0;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
      CopyParamText(index, opcode, ptr);
      return 0;
    case effSetSampleRate:
      ChangeSampleRate(static_cast<double>(opt));
      return 0;
    case effSetBlockSize:
      ChangeMaxBlockFrames(value);
      return 0;
    case effMainsChanged:
      ChangeActiveLocked(value != 0);
      return 0;
    case effEditGetRect:
      if (!ptr || !editor) return 0;
      // Before the window opens, the size follows the user, the host and the
      // screen; while it is open only the size menu or the host change it.
      if (!editor->IsWindowOpen()) editor->ApplyPreferredSize();
      *static_cast<ERect**>(ptr) = &editorRect_;
      return 1;
    case effEditOpen:
      return OpenEditorIn(ptr) ? 1 : 0;
    case effEditClose:
      return CloseEditor() ? 1 : 0;
    case effIdentify:
      return kIdentifyAnswer;
    case effGetChunk:
      return GetChunk(index, ptr);
    case effSetChunk:
      return SetChunk(index, value, ptr);
    case effProcessEvents: {
      const VstEvents* events = static_cast<const VstEvents*>(ptr);
      if (!events) return 0;
      // The record declares two entries but the host's list runs to numEvents.
      VstEvent* const* entries = events->events;
      for (int32_t i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = entries[i];
        if (!event) continue;
        if (event->type == kVstMidiType) {
          const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
          OnMidiMessage({midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                         static_cast<uint8_t>(midi->midiData[1]),
                         static_cast<uint8_t>(midi->midiData[2])});
        } else if (event->type == kVstSysExType) {
          const VstMidiSysexEvent* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
          const bool hasData = sysex->sysexDump && sysex->dumpBytes > 0;
          OnSysEx({sysex->deltaFrames, hasData ? sysex->dumpBytes : 0,
                   hasData ? reinterpret_cast<const uint8_t*>(sysex->sysexDump) : nullptr});
        }
      }
      return 1;
    }
    case effCanBeAutomated:
      return 1;
    case effString2Parameter: {
      IPlugParam* param = GetParam(index);
      if (!param) return 0;
      if (ptr) {
        // Stepped like a host position, so display, engine and state agree.
        const double v = param->ValueFromText(static_cast<const char*>(ptr));
        if (editor) editor->SetParameterFromPlugin(index, v, false);
        param->SetValue(v);
        OnParamChanged(index);
      }
      return 1;
    }
    case effGetProgramNameIndexed: {
      if (!ptr) return 0;
      const char* name = PresetName(index);
      CopyTextBounded(static_cast<char*>(ptr), name, kMaxProgNameLen + 1);
      return name[0] ? 1 : 0;
    }
    case effGetInputProperties:
      return PinProperties(true, index, ptr);
    case effGetOutputProperties:
      return PinProperties(false, index, ptr);
    case effGetPlugCategory:
      return IsInstrument() ? 2 : 1;
    case effProcessVarIo:
      return 0;
    case effSetSpeakerArrangement:
      SetSpeakerArrangement(true, reinterpret_cast<const VstSpeakerArrangement*>(value));
      SetSpeakerArrangement(false, static_cast<const VstSpeakerArrangement*>(ptr));
      return 1;
    case effSetBypass:
      OnActiveChanged(value == 0);
      return 0;
    case effGetEffectName:
      if (!ptr) return 0;
      CopyTextBounded(static_cast<char*>(ptr), EffectName(), kMaxEffectNameLen + 1);
      return 1;
    case effGetVendorString:
      if (!ptr) return 0;
      CopyTextBounded(static_cast<char*>(ptr), VendorName(), kMaxVendorStrLen + 1);
      return 1;
    case effGetProductString:
      if (!ptr) return 0;
      CopyTextBounded(static_cast<char*>(ptr), ProductName(), kMaxProductStrLen + 1);
      return 1;
    case effGetVendorVersion:
      return VersionDecimal();
    case effVendorSpecific:
      return VendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return CanDo(static_cast<const char*>(ptr));
    case effGetVstVersion:
      return kVstVersion;
    case effGetParameterProperties: {
      // Only the parameters the host was told about.
      IPlugParam* param = index < effect_.numParams ? GetParam(index) : nullptr;
      if (!param || !ptr) return 0;
      FillParameterProperties(*param, static_cast<VstParameterProperties*>(ptr));
      return 1;
    }
    case effGetMidiProgramName:
    case effGetCurrentMidiProgram:
    case effGetMidiProgramCategory:
    case effHasMidiProgramsChanged:
    case effBeginSetProgram:
    case effEndSetProgram:
    case effStartProcess:
      ChangeProcessing(true);
      return 0;
    case effGetMidiKeyName: {
      vst2::MidiKeyName* key = static_cast<vst2::MidiKeyName*>(ptr);
      if (!key) return 0;
      key->keyName[0] = '\0';
      const bool named = MidiKeyName(key->thisKeyNumber, key->keyName);
      key->keyName[sizeof key->keyName - 1] = '\0';
      return named ? 1 : 0;
    }
    case effGetSpeakerArrangement:
      if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement_;
      if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement_;
      return 1;
    case effStopProcess:
      ChangeProcessing(false);
      return 0;
    default:
      return 0;
  }
}

void IPlugVST::CopyParamText(int32_t index, int32_t opcode, void* ptr) {
  IPlugParam* param = GetParam(index);
  if (!param || !ptr) return;
  char* text = static_cast<char*>(ptr);
  constexpr size_t kSize = kMaxParamStrLen + 1;
  if (opcode == effGetParamLabel) {
    CopyTextBounded(text, param->Label(), kSize);
  } else if (opcode == effGetParamName) {
    CopyTextBounded(text, param->Name(), kSize);
  } else {
    char display[128];
    param->FormatValue(param->Value(), false, display, sizeof display);
    CopyTextBounded(text, display, kSize);
  }
}

intptr_t IPlugVST::PinProperties(bool input, int32_t index, void* ptr) {
  const int count = input ? NInChannels() : NOutChannels();
  VstPinProperties* pin = static_cast<VstPinProperties*>(ptr);
  if (!pin || index < 0 || index >= count) return 0;
  pin->flags = kVstPinIsActive;
  if (index % 2 == 0 && index < count - 1) pin->flags |= kVstPinIsStereo;
  snprintf(pin->label, sizeof pin->label, input ? "Input %d" : "Output %d", index + 1);
  return 1;
}

void IPlugVST::SetSpeakerArrangement(bool input, const VstSpeakerArrangement* arrangement) {
  if (!arrangement) return;
  const int count = input ? NInChannels() : NOutChannels();
  // A host may announce more channels than this effect has; only ours count.
  const int connected = arrangement->numChannels < 0 ? 0 : arrangement->numChannels;
  for (int i = 0; i < count; ++i) {
    if (input) {
      SetInputConnected(i, i < connected);
    } else {
      SetOutputConnected(i, i < connected);
    }
  }
}

intptr_t IPlugVST::GetChunk(int32_t index, void* ptr) {
  if (!ptr) return 0;
  StateBuffer& buffer = index == 0 ? bankChunk_ : programChunk_;
  // This format has no bypass of its own to save.
  if (!WriteChunk(buffer, index == 0, false)) return 0;
  *static_cast<void**>(ptr) = buffer.Data();
  return buffer.Size();
}

bool IPlugVST::WriteChunk(StateBuffer& buffer, bool bank, bool bypassed) {
  ScopedLock lock(InstanceLock());
  buffer.Clear();
  bool ok = buffer.AppendInt32(VersionDecimal());
  if (bank) CaptureCurrentPreset(nullptr);
  ok = SaveState(buffer, CurrentPresetIndex(), bypassed) && ok;
  return ok && buffer.Size() > 0;
}

intptr_t IPlugVST::SetChunk(int32_t index, intptr_t size, const void* ptr) {
  StateBuffer& buffer = index == 0 ? bankChunk_ : programChunk_;
  // A negative size or missing data is an empty chunk; it still runs the
  // change notifications and then reports failure.
  if (!ptr || size < 0 || size > INT32_MAX) size = 0;
  buffer.Resize(static_cast<int32_t>(size));
  if (size > 0) memcpy(buffer.Data(), ptr, static_cast<size_t>(size));

  int32_t version = 0;
  int32_t position = buffer.ReadInt32(0, &version);
  ExtensionRead tail = ExtensionRead::kComplete;
  if (position < 0) {
    version = 0;
  } else if (!IsOwnChunk(buffer, version, &tail)) {
    return 0;  // not ours: nothing is loaded and nothing changes
  }
  const int32_t result = LoadState(buffer, position);
  OnChunkVersionLoaded(version);
  if (result < 0 || tail == ExtensionRead::kTruncated) return 0;
  PushParamsToEditor();
  return 1;
}

bool IPlugVST::IsOwnChunk(const StateBuffer& buffer, int32_t version, ExtensionRead* tail) const {
  *tail = ExtensionRead::kComplete;
  if (version < kOldestChunkVersion || version > VersionDecimal()) return false;
  // Past the chunk's values only the extension may follow (this format
  // takes its values and ignores its program and bypass); whatever else is
  // there makes the chunk foreign.
  const int32_t paramBytes = 4 + 8 * NChunkParams();
  if (buffer.Size() <= paramBytes) return true;
  *tail = ReadStateExtension(buffer, paramBytes, NPresets(), nullptr);
  return *tail != ExtensionRead::kForeign;
}

void IPlugVST::ReportProgramSwitch() {
  if (programSwitchUnreported_.exchange(false)) RequestHostDisplayUpdate();
}

intptr_t IPlugVST::CanDo(const char* text) const {
  if (!text) return 0;
  const int midiMode = MidiMode();
  if (!strcmp(text, "receiveVstTimeInfo")) return 1;
  if (!strcmp(text, "sendVstEvents") || !strcmp(text, "sendVstMidiEvent")) {
    return (midiMode != 0 && midiMode % 2 != 0) ? 1 : 0;
  }
  if (!strcmp(text, "receiveVstEvents") || !strcmp(text, "receiveVstMidiEvent")) {
    return (midiMode == 1 || midiMode == 2) ? 1 : 0;
  }
  if (!strcmp(text, "hasCockosExtensions")) return kHostExtensionsAnswer;
  if (!strcmp(text, "hasCockosViewAsConfig")) return kHostExtensionsAnswer;
  return 0;
}

intptr_t IPlugVST::VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) {
  const bool validParam = value >= 0 && value < NParams();
  IPlugParam* param = validParam ? GetParam(static_cast<int>(value)) : nullptr;
  if (index == kWheelRequest && value == kWheelValue) return EditorWheel(opt);
  if (index == kContentScaleRequest && value == kContentScaleValue) {
    IEditorView* editor = Editor();
    if (!editor || !(opt > 0.0f)) return 0;
    editor->SetHostContentScale(static_cast<double>(opt));
    return 1;
  }
  switch (index) {
    case kVendorFormatValue:
      if (!ptr) return 0;
      if (param) {
        char display[128];
        param->FormatValue(static_cast<double>(opt), true, display, sizeof display);
        CopyTextBounded(static_cast<char*>(ptr), display, kMaxParamStrLen + 1);
      }
      return kExtensionAnswer;
    case kVendorIsToggle:
      return param && param->IsTwoState() ? kExtensionAnswer : 0;
    case kVendorParseValue: {
      if (!ptr || !param) return 0;
      char* text = static_cast<char*>(ptr);
      if (text[0]) {
        char typed[kVendorTextLen];
        CopyTextBounded(typed, text, sizeof typed);
        const double normalized = param->ToNormalized(param->ValueFromText(typed));
        snprintf(text, kVendorTextLen, "%.17f", normalized);
      }
      return kExtensionAnswer;
    }
    default:
      return 0;
  }
}

void VST2_CALL IPlugVST::SetParameter(AEffect* effect, int32_t index, float value) {
  IPlugVST* plug = InstanceOf(effect);
  if (!plug) return;
  ScopedLock lock(plug->InstanceLock());
  IPlugParam* param = plug->GetParam(index);
  if (!param) return;
  if (IEditorView* editor = plug->Editor()) editor->SetParameterFromPlugin(index, value, true);
  param->SetFromNormalized(value);
  plug->OnParamChanged(index);
}

float VST2_CALL IPlugVST::GetParameter(AEffect* effect, int32_t index) {
  IPlugVST* plug = InstanceOf(effect);
  if (!plug) return 0.0f;
  ScopedLock lock(plug->InstanceLock());
  IPlugParam* param = plug->GetParam(index);
  return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
}
