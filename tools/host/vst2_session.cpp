#include "tools/host/vst2_session.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "tools/host/host_services.h"

Vst2Session::~Vst2Session() { Close(); }

bool Vst2Session::Create(const std::string& modulePath, std::string& error) {
  if (!module_.Load(modulePath)) {
    error = "cannot load " + modulePath + ": " + module_.error();
    return false;
  }
  effect_ = module_.entry()(HostCallback);
  if (effect_ == nullptr) {
    error = "VSTPluginMain returned no effect";
    module_.Unload();
    return false;
  }
  if (effect_->magic != vst2::kEffectMagic) {
    char text[80];
    std::snprintf(text, sizeof text, "bad effect magic 0x%08X",
                  static_cast<unsigned>(effect_->magic));
    error = text;
    // A record without the magic cannot be trusted to close; leak it.
    effect_ = nullptr;
    module_.Unload();
    return false;
  }
  if (effect_->dispatcher == nullptr) {
    error = "effect has no dispatcher";
    effect_ = nullptr;
    module_.Unload();
    return false;
  }
  return true;
}

void Vst2Session::SetActive(bool on) {
  Dispatch(vst2::effMainsChanged, 0, on ? 1 : 0);
  mainsOn_ = on;
}

void Vst2Session::Close() {
  if (effect_ != nullptr) {
    if (mainsOn_) SetActive(false);
    Dispatch(vst2::effClose);
  }
  effect_ = nullptr;
  mainsOn_ = false;
  module_.Unload();
}

intptr_t Vst2Session::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string Vst2Session::Text(int32_t opcode, int32_t index, size_t limit, const char* what) {
  // Guard bytes past the answer catch an effect that writes without a terminator.
  char buffer[512];
  std::memset(buffer, 0, sizeof buffer);
  Dispatch(opcode, index, 0, buffer);
  buffer[sizeof buffer - 1] = '\0';
  const size_t length = std::strlen(buffer);
  if (length + 1 > limit) {
    std::fprintf(stderr, "warning: %s %d is %zu characters, over the limit of %zu\n", what, index,
                 length, limit - 1);
  }
  return buffer;
}

void Vst2Session::Open() { Dispatch(vst2::effOpen); }

void Vst2Session::SetSampleRate(double rate) {
  Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void Vst2Session::SetBlockSize(int32_t frames) { Dispatch(vst2::effSetBlockSize, 0, frames); }

void Vst2Session::PrintInfo() {
  const vst2::AEffect* e = effect_;
  char magic[5];
  for (int i = 0; i < 4; ++i) magic[i] = static_cast<char>(e->magic >> (24 - 8 * i));
  magic[4] = '\0';
  std::printf("info format=vst2\ninfo magic=%s\n", magic);
  std::printf("info inputs=%d\ninfo outputs=%d\n", e->numInputs, e->numOutputs);
  std::printf("info params=%d\ninfo programs=%d\n", e->numParams, e->numPrograms);
  std::printf("info flags=0x%X\n", static_cast<unsigned>(e->flags));
  std::printf("info unique_id=0x%08X\n", static_cast<unsigned>(e->uniqueID));
  std::printf("info version=%d\ninfo initial_delay=%d\n", e->version, e->initialDelay);
  std::string callbacks;
  if (e->process != nullptr) callbacks += ",process";
  if (e->processReplacing != nullptr) callbacks += ",processReplacing";
  if (e->processDoubleReplacing != nullptr) callbacks += ",processDoubleReplacing";
  if (e->setParameter != nullptr) callbacks += ",setParameter";
  if (e->getParameter != nullptr) callbacks += ",getParameter";
  std::printf("info callbacks=%s\n", callbacks.empty() ? "" : callbacks.c_str() + 1);
  std::printf("info name=\"%s\"\n",
              Text(vst2::effGetEffectName, 0, vst2::kMaxEffectNameLen, "effect name").c_str());
  std::printf("info vendor=\"%s\"\n",
              Text(vst2::effGetVendorString, 0, vst2::kMaxVendorStrLen, "vendor string").c_str());
  std::printf(
      "info product=\"%s\"\n",
      Text(vst2::effGetProductString, 0, vst2::kMaxProductStrLen, "product string").c_str());
  std::printf("info vendor_version=%" PRIdPTR "\n", Dispatch(vst2::effGetVendorVersion));
  std::printf("info vst_version=%" PRIdPTR "\n", Dispatch(vst2::effGetVstVersion));
  std::printf("info category=%" PRIdPTR "\n", Dispatch(vst2::effGetPlugCategory));
}

ParamReport Vst2Session::Param(int32_t index) {
  ParamReport report;
  report.name = Text(vst2::effGetParamName, index, vst2::kMaxParamStrLen, "parameter name");
  report.label = Text(vst2::effGetParamLabel, index, vst2::kMaxParamStrLen, "parameter label");
  report.display =
      Text(vst2::effGetParamDisplay, index, vst2::kMaxParamStrLen, "parameter display");
  report.value = static_cast<double>(effect_->getParameter(effect_, index));
  return report;
}

void Vst2Session::SetParam(int32_t index, double normalized) {
  effect_->setParameter(effect_, index, static_cast<float>(normalized));
}

intptr_t Vst2Session::SetParamText(int32_t index, const std::string& text) {
  std::vector<char> buffer(text.begin(), text.end());
  buffer.resize(text.size() + 256, '\0');  // room for an effect that writes back
  return Dispatch(vst2::effString2Parameter, index, 0, buffer.data());
}

std::string Vst2Session::ProgramName(int32_t index) {
  return Text(vst2::effGetProgramNameIndexed, index, vst2::kMaxProgNameLen, "program name");
}

void Vst2Session::SelectProgram(int32_t index) { Dispatch(vst2::effSetProgram, 0, index); }

int32_t Vst2Session::CurrentProgram(std::string& name) {
  name = Text(vst2::effGetProgramName, 0, vst2::kMaxProgNameLen, "program name");
  return static_cast<int32_t>(Dispatch(vst2::effGetProgram));
}

// The interface asks for the bank with index 0 and for one program otherwise.
bool Vst2Session::SaveState(bool bank, std::vector<char>& bytes, std::string& error) {
  void* data = nullptr;
  const intptr_t size = Dispatch(vst2::effGetChunk, bank ? 0 : 1, 0, &data);
  if (size <= 0 || data == nullptr) {
    error = "effect gave no chunk";
    return false;
  }
  const char* first = static_cast<const char*>(data);
  bytes.assign(first, first + size);
  return true;
}

intptr_t Vst2Session::LoadState(bool bank, const std::vector<char>& bytes) {
  // One spare byte: an empty state still gets a valid pointer, and the
  // effect must cope with size 0.
  std::vector<char> copy(bytes.size() + 1);
  std::copy(bytes.begin(), bytes.end(), copy.begin());
  return Dispatch(vst2::effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(bytes.size()),
                  copy.data());
}

bool Vst2Session::Render(const WavAudio& input, ProcessCallback callback,
                         const std::vector<TimedParamChange>& changes,
                         const std::vector<TimedNoteOn>& notes, WavAudio& output,
                         std::string& error) {
  return RenderThroughEffect(effect_, input, callback, changes, notes, output, error);
}

bool Vst2Session::EditorSize(int& width, int& height, std::string& error) {
  const bool announced = (effect_->flags & vst2::effFlagsHasEditor) != 0;
  vst2::ERect* rect = nullptr;
  const intptr_t answer = Dispatch(vst2::effEditGetRect, 0, 0, &rect);
  std::printf("editor getrect result=%" PRIdPTR "\n", answer);
  if (answer == 0 || rect == nullptr) {
    std::printf("editor none\n");
    char reason[96];
    std::snprintf(reason, sizeof reason, "the effect has no editor (flags=0x%X, no rectangle)",
                  static_cast<unsigned>(effect_->flags));
    error = reason;
    return false;
  }
  std::printf("editor rect=%d,%d,%d,%d\n", rect->top, rect->left, rect->bottom, rect->right);
  if (!announced)
    std::fprintf(stderr, "warning: the effect answers effEditGetRect without the editor flag\n");
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  return true;
}

intptr_t Vst2Session::AttachEditor(void* parent) {
  return Dispatch(vst2::effEditOpen, 0, 0, parent);
}

intptr_t Vst2Session::DetachEditor() { return Dispatch(vst2::effEditClose); }

void Vst2Session::EditorIdle() { Dispatch(vst2::effEditIdle); }
