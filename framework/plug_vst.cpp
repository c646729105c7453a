#include "framework/plug_vst.h"

#include "gui/editor_view.h"

namespace {

int32_t SpeakerArrangementType(int channels) {
  switch (channels) {
    case 0:
      return -1;  // empty
    case 1:
      return 0;  // mono
    case 2:
      return 1;  // stereo
    default:
      return -2;  // user defined
  }
}

}  // namespace

IPlugVST::IPlugVST(vst2::AudioMasterCallback audioMaster, int paramCount, const char* channelConfig,
                   int presetCount, const char* effectName, const char* productName,
                   const char* vendorName, int32_t vendorVersion, int32_t uniqueId, int32_t makerId,
                   int latency, int midiMode, bool stateChunks, bool isInstrument)
    : IPlugBase(paramCount, channelConfig, presetCount, effectName, productName, vendorName,
                vendorVersion, uniqueId, makerId, latency, midiMode, stateChunks, isInstrument),
      audioMaster_(audioMaster) {
  programChunk_.Clear();
  bankChunk_.Clear();

  effect_.magic = vst2::kEffectMagic;
  effect_.dispatcher = &IPlugVST::Dispatcher;
  effect_.process = &IPlugVST::ProcessAccumulating;
  effect_.setParameter = &IPlugVST::SetParameter;
  effect_.getParameter = &IPlugVST::GetParameter;
  effect_.numPrograms = presetCount;
  effect_.numParams = paramCount;
  effect_.numInputs = NInChannels();
  effect_.numOutputs = NOutChannels();
  effect_.flags = vst2::effFlagsCanReplacing | vst2::effFlagsCanDoubleReplacing;
  if (stateChunks) effect_.flags |= vst2::effFlagsProgramChunks;
  effect_.initialDelay = latency;
  effect_.ioRatio = 1.0f;
  effect_.object = this;
  effect_.uniqueID = uniqueId;
  effect_.version = VersionDecimal();
  effect_.processReplacing = &IPlugVST::ProcessReplacing;
  effect_.processDoubleReplacing = &IPlugVST::ProcessDoubleReplacing;

  if (MatchesChannelConfig(1, -1)) effect_.flags |= vst2::effFlagsMono;
  if (isInstrument) effect_.flags |= vst2::effFlagsIsSynth;

  editorRect_ = {};
  SyncChannelCounts();

  for (int i = 0; i < NInChannels(); ++i) SetInputConnected(i, true);
  for (int i = 0; i < NOutChannels(); ++i) SetOutputConnected(i, true);
  SetMaxBlockFrames(kDefaultBlockFrames);
}

IPlugVST::~IPlugVST() = default;

void IPlugVST::SyncChannelCounts() {
  effect_.numInputs = NInChannels();
  effect_.numOutputs = NOutChannels();
  inputArrangement_.numChannels = NInChannels();
  inputArrangement_.type = SpeakerArrangementType(NInChannels());
  outputArrangement_.numChannels = NOutChannels();
  outputArrangement_.type = SpeakerArrangementType(NOutChannels());
}

intptr_t IPlugVST::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  if (!audioMaster_) return 0;
  return audioMaster_(&effect_, opcode, index, value, ptr, opt);
}

void IPlugVST::AttachEditor(IEditorView* editor) {
  if (!editor) return;
  IPlugBase::AttachEditor(editor);
  effect_.flags |= vst2::effFlagsHasEditor;
  SyncEditorRect();
}

void IPlugVST::SyncEditorRect() {
  IEditorView* editor = Editor();
  if (!editor) return;
  editorRect_.top = 0;
  editorRect_.left = 0;
  editorRect_.bottom = static_cast<int16_t>(editor->PixelHeight());
  editorRect_.right = static_cast<int16_t>(editor->PixelWidth());
}

void IPlugVST::SetDelaySamples(int samples) {
  IPlugBase::SetDelaySamples(samples);
  effect_.initialDelay = samples;
}
