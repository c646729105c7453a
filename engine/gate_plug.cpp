#include "engine/gate_plug.h"

#include "engine/chance_words.h"
#include "engine/editor_layout.h"
#include "engine/factory_presets.h"
#include "engine/version.h"
#include "gui/step_edited.h"

namespace {

constexpr int32_t FourCharCode(char a, char b, char c, char d) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24 |
                              static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8 |
                              static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

constexpr int32_t kUniqueId = FourCharCode('o', 'w', 't', 'k');
constexpr int32_t kMakerId = FourCharCode('K', 'e', 'l', 'v');
// The framework's MIDI mode that receives events and sends none.
constexpr int kMidiReceive = 2;
constexpr int kEditorOnlyParams = kGateParamCount - kHostVisibleParams;
static_assert(kStepEditedParam == kStepEdited, "the editor raises the engine's StepEdited");

// Display text i belongs to "Rate" value i.
constexpr const char* kRateTexts[] = {"1/128", "1/64T", "1/128D", "1/64", "1/32T", "1/64D", "1/32",
                                      "1/16T", "1/32D", "1/16",   "1/8T", "1/16D", "1/8",   "1/4T",
                                      "1/8D",  "1/4",   "1/2T",   "1/4D", "1/2",   "1/1T",  "1/2D",
                                      "1/1",   "2/1T",  "1/1D",   "2/1",  "4/1T",  "2/1D",  "4/1"};
constexpr int kRateCount = sizeof kRateTexts / sizeof kRateTexts[0];
static_assert(kRateCount == 28);

constexpr const char* kTargetTexts[] = {"Volume", "Low Gain", "High Gain", "Low - High"};
constexpr const char* kRestartTexts[] = {"Host position", "Transport start", "MIDI note"};
constexpr const char* kMidiSwitchTexts[] = {"Off", "Immediate", "Next step", "Next bar"};

// The pattern words' defaults decode to step time 2 and volume 4 on every step.
struct PatternWordDefault {
  int defaultValue;
  int max;
};
constexpr PatternWordDefault kPatternWordDefaults[] = {
    {4882812, 9765624}, {4882812, 9765624}, {4882812, 9765624}, {5078124, 9765624},
    {9765624, 9765624}, {9765624, 9765624}, {624, 624}};

}  // namespace

VSTCLASS::VSTCLASS(vst2::AudioMasterCallback audioMaster)
    : IPlugVST(audioMaster, kHostVisibleParams, "1-1 2-2", kGatePresetCount, QUORVEL_NAME, "",
               QUORVEL_VENDOR, kQuorvelVersionPacked, kUniqueId, kMakerId, 0, kMidiReceive, false, false) {
  // The 17 values of the chunk as it always was; the other host-visible
  // ones travel in its extension.
  SetSavedParams(kChunkParams, kHostVisibleParams);
  for (int i = 0; i < kEditorOnlyParams; ++i) AppendParam();
  DefineParameters();

  CreateEffectEditor(this, this);

  AddFactoryPresets();
}

VSTCLASS::~VSTCLASS() = default;

void VSTCLASS::DefineParameters() {
  GetParam(kRate)->SetupEnum("Rate", 9, kRateCount, "");
  for (int i = 0; i < kRateCount; ++i) GetParam(kRate)->AddDisplayText(i, kRateTexts[i]);

  GetParam(kCycle)->SetupInt("Cycle", 16, 1, 32, "");
  GetParam(kAttack)->SetupInt("Attack", 5, 0, 200, "%");
  GetParam(kAttack)->SetCurveExponent(2.0);
  GetParam(kGate)->SetupInt("Gate", 100, 0, 100, "%");

  GetParam(kTieLock)->SetupEnum("Tie Lock", 1, 2, "");
  GetParam(kTieLock)->AddDisplayText(0, "No");
  GetParam(kTieLock)->AddDisplayText(1, "Yes");

  GetParam(kRelease)->SetupInt("Release", 30, 0, 200, "%");
  GetParam(kRelease)->SetCurveExponent(2.0);
  GetParam(kFade)->SetupInt("Fade", 5, 0, 100, "%");
  GetParam(kFade)->SetCurveExponent(2.0);
  GetParam(kSplitFreq)->SetupInt("Split Freq", 1000, 20, 20000, "Hz");
  GetParam(kSplitFreq)->SetCurveExponent(2.0);

  GetParam(kTarget)->SetupEnum("Target", 0, 4, "");
  for (int i = 0; i < 4; ++i) GetParam(kTarget)->AddDisplayText(i, kTargetTexts[i]);

  GetParam(kMix)->SetupInt("Mix", 80, 0, 100, "%");
  for (int word = 0; word < 7; ++word) {
    const PatternWordDefault& d = kPatternWordDefaults[word];
    GetParam(kPatternWord0 + word)->SetupInt("", d.defaultValue, 0, d.max, "");
  }
  GetParam(kSwing)->SetupInt("Swing", 50, 50, 75, "%");
  GetParam(kChance)->SetupInt("Chance", 100, 0, 100, "%");
  GetParam(kRestartMode)->SetupEnum("Restart", kRestartHostPosition, 3, "");
  for (int i = 0; i < 3; ++i) GetParam(kRestartMode)->AddDisplayText(i, kRestartTexts[i]);
  GetParam(kMidiSwitch)->SetupEnum("MIDI Switch", kSwitchOff, 4, "");
  for (int i = 0; i < 4; ++i) GetParam(kMidiSwitch)->AddDisplayText(i, kMidiSwitchTexts[i]);
  for (int g = 0; g < kChanceWordCount; ++g) {
    GetParam(kChanceWord0 + g)->SetupInt("", 0, 0, ChanceWordMax(g), "");
  }
  GetParam(kStepEdited)->SetupInt("", 0, 0, 1, "");
  GetParam(kTimesNudge)->SetupInt("", 0, -5, 5, "");
  GetParam(kVolumesNudge)->SetupInt("", 0, -5, 5, "");
}

void VSTCLASS::AddFactoryPresets() {
  NameFirstFreePresets(kDefaultPresetName, 1);
  for (const FactoryPreset& preset : kFactoryPresets) {
    int v[kGateParamCount];
    if (!FactoryPresetValues(preset, v)) continue;
    static_assert(kGateParamCount == 27, "one value per parameter object below");
    AddFactoryPreset(preset.name, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10],
                     v[11], v[12], v[13], v[14], v[15], v[16], v[17], v[18], v[19], v[20], v[21],
                     v[22], v[23], v[24], v[25], v[26]);
  }
}
