#include "tools/host/script_steps.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "tools/host/audio_render.h"
#include "tools/host/editor_steps.h"
#include "tools/host/host_editor.h"
#include "tools/host/host_services.h"
#include "tools/host/plugin_session.h"
#include "tools/host/test_signal.h"
#include "tools/host/vst2_session.h"
#include "tools/host/wav_file.h"

const char kStepUsage[] =
    "PLUGIN is a VST 2 module, a .vst3 bundle (folder or binary) for VST 3, a .clap\n"
    "module for CLAP, or natively a .lv2 bundle folder for LV2; the steps name VST 2's\n"
    "requests, and the other sessions carry out the same requests (CLAP: normalised\n"
    "values become plain ones across each parameter's range, programs are parameter\n"
    "100, state is the plug-in's stream, changes and notes are events inside the\n"
    "block that holds them; LV2: programs are the bundle's presets, changes split the\n"
    "block).\n"
    "Steps (one per argument, or one per line of a -f script; # starts a comment):\n"
    "  open                          effOpen\n"
    "  close                         effClose (done anyway at the end)\n"
    "  info                          print the effect record and its names\n"
    "  samplerate HZ                 effSetSampleRate; also the host's answer\n"
    "  blocksize N                   effSetBlockSize; also the block length of process\n"
    "  mains on|off                  effMainsChanged\n"
    "  param N=V                     setParameter with normalised V, then print it\n"
    "  param N                       print parameter N\n"
    "  paramtext N=TEXT              effString2Parameter, then print it\n"
    "  paramback N                   getParameter written back with setParameter, then print it\n"
    "  paramformat N=V               the host extension's display of normalised V\n"
    "  paramprops N                  effGetParameterProperties; the record's bytes in hex\n"
    "  params                        print every parameter\n"
    "  change N=V@OFFSET             parameter N takes normalised V at sample OFFSET of\n"
    "                                the next process step (VST 2: setParameter between\n"
    "                                split blocks; VST 3: a point in the input queue;\n"
    "                                LV2: the control port between split runs)\n"
    "  note OFFSET NOTE [VELOCITY]   a note-on (channel 1, velocity 0-127, default 100;\n"
    "                                0 is a note-off) at sample OFFSET of the next process\n"
    "                                step, sent with the block that holds it (VST 2:\n"
    "                                effProcessEvents before the process call; VST 3: the\n"
    "                                process data's event list); before the first block\n"
    "                                it goes with that one, past the last with the last\n"
    "  programs                      print every program name\n"
    "  program [N]                   effSetProgram N (when given); print the current one\n"
    "                                (LV2: the N-th preset's port values)\n"
    "  savechunk program|bank FILE   effGetChunk into FILE (VST 3: the component state;\n"
    "                                LV2: the bytes of the plug-in's state property)\n"
    "  loadchunk program|bank FILE   effSetChunk from FILE (VST 3: the component state;\n"
    "                                LV2: the state property)\n"
    "  tempo BPM                     tempo for time info (default 120)\n"
    "  position SAMPLES              transport position for time info (default 0)\n"
    "  transport playing|recording|stopped   transport state (default stopped);\n"
    "                                process advances the position unless stopped\n"
    "  timesig N/D                   time signature for time info (default 4/4)\n"
    "  timeinfo on|off               off: audioMasterGetTime answers null (LV2: no\n"
    "                                position object in the event input)\n"
    "  product TEXT                  product string the host reports (QuorvelTestHost)\n"
    "  vendorversion N               vendor version the host reports (1000)\n"
    "  cando TEXT                    effCanDo (VST 2 only)\n"
    "  dispatch OP [INDEX [VALUE [OPT]]]  any dispatcher opcode; prints the result (VST 2 only)\n"
    "  process IN.wav OUT.wav [replacing|double|accumulating]\n"
    "                                run IN through the effect in blocks, write OUT\n"
    "                                (32-bit float); default callback replacing\n"
    "  generate pad|sine|dc|noise FILE [seconds=S] [rate=R] [channels=C]\n"
    "           [format=pcm16|pcm24|float] [freq=HZ] [level=L]\n"
    "                                write a test signal (default 2 s, 44100, 2, float)\n"
    "  log FILE|-                    log every audio-master request, one line each\n"
    "  editor open                   effEditGetRect, a parent window of that size, effEditOpen\n"
    "  editor click X Y [right]      a click at X,Y of the effect's window\n"
    "  editor drag X1 Y1 X2 Y2       press at X1,Y1, move in steps, release at X2,Y2\n"
    "  editor wheel X Y NOTCHES      wheel notches (negative: toward the user) at X,Y\n"
    "  editor ticks N                handle messages for N x 41 ms (the editor's timer runs)\n"
    "  editor capture FILE.bmp       write the editor window's content (32-bit BMP)\n"
    "  editor scale F                announce content scale F (VST 3); the host window\n"
    "                                follows the sizes the effect then asks for\n"
    "  editor close                  effEditClose, then the parent window goes\n"
    "                                (Win32 windows, or natively X11 windows on $DISPLAY)\n"
    "Output lines (stdout):\n"
    "  info KEY=VALUE | param N name=\"..\" label=\"..\" display=\"..\" value=V\n"
    "  paramtext N result=R | program N name=\"..\" | program current=N name=\"..\"\n"
    "  paramformat N result=R display=\"..\" | paramprops N result=R bytes=HEX\n"
    "  savechunk KIND bytes=N | loadchunk KIND bytes=N result=R\n"
    "  cando TEXT result=R | dispatch opcode=OP result=R\n"
    "  process frames=N blocks=B callback=C | generate KIND frames=N\n"
    "  editor getrect result=R | editor rect=TOP,LEFT,BOTTOM,RIGHT | editor none\n"
    "  editor open result=R | editor capture FILE width=W height=H | editor close result=R\n"
    "  editor scale F result=R window=W,H (the host window's client size after)\n"
    "Log lines: audioMaster NAME opcode=N index=I value=V opt=F [text=\"..\"]\n";

namespace {

using Words = std::vector<std::string>;

struct Runner {
  std::string modulePath;
  std::unique_ptr<PluginSession> session;
  HostEditor editor;  // closed before the effect is
  bool created = false;
  std::string error;
  std::vector<TimedParamChange> changes;  // for the next process step
  std::vector<TimedNoteOn> notes;         // for the next process step, by offset

  bool Fail(const std::string& reason) {
    error = reason;
    return false;
  }

  // The effect is created at its first use, so that log, product and
  // vendorversion steps before it already apply to `VSTPluginMain`.
  bool NeedEffect() {
    if (created) {
      return session->Alive() || Fail("the effect was closed");
    }
    if (modulePath == "none") return Fail("this step needs an effect (module 'none')");
    created = true;
    session = MakePluginSession(modulePath);
    return session->Create(modulePath, error);
  }

  bool Alive() const { return session && session->Alive(); }

  // The steps only a VST 2 effect has.
  Vst2Session* NeedVst2() {
    if (!NeedEffect()) return nullptr;
    Vst2Session* vst2 = session->AsVst2();
    if (!vst2) Fail("this step needs a VST 2 effect");
    return vst2;
  }
};

bool ParseDouble(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && *end == '\0' && std::isfinite(value);
}

bool ParseInt(const std::string& text, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(text.c_str(), &end, 0);  // 0x prefixes allowed
  return errno == 0 && *end == '\0';
}

bool ParseIndex(const std::string& text, int32_t& index) {
  long long value;
  if (!ParseInt(text, value) || value < 0 || value > 1000000) return false;
  index = static_cast<int32_t>(value);
  return true;
}

// "N=REST" into N and REST; hasValue false without '='.
bool SplitAssignment(const std::string& word, int32_t& index, std::string& rest, bool& hasValue) {
  const size_t eq = word.find('=');
  hasValue = eq != std::string::npos;
  rest = hasValue ? word.substr(eq + 1) : std::string();
  return ParseIndex(word.substr(0, eq), index);
}

void WarnIndexBeyond(PluginSession& session, int32_t index) {
  const int32_t count = session.ParamCount();
  if (index >= count) {
    std::fprintf(stderr, "warning: parameter %d is beyond the %d the effect announces\n", index,
                 count);
  }
}

void PrintParameter(Runner& r, int32_t index) {
  const ParamReport p = r.session->Param(index);
  std::printf("param %d name=\"%s\" label=\"%s\" display=\"%s\" value=%.6f\n", index,
              p.name.c_str(), p.label.c_str(), p.display.c_str(), p.value);
}

bool StepOpen(Runner& r, const Words&) {
  if (!r.NeedEffect()) return false;
  r.session->Open();
  return true;
}

bool StepClose(Runner& r, const Words&) {
  if (!r.NeedEffect()) return false;
  r.editor.Close(*r.session);
  r.session->Close();
  return true;
}

bool StepInfo(Runner& r, const Words&) {
  if (!r.NeedEffect()) return false;
  r.session->PrintInfo();
  return true;
}

bool StepSampleRate(Runner& r, const Words& w) {
  double rate;
  if (!ParseDouble(w[1], rate) || rate < 1000.0 || rate > 768000.0)
    return r.Fail("bad sample rate");
  if (!r.NeedEffect()) return false;
  Host().sampleRate = rate;
  r.session->SetSampleRate(rate);
  return true;
}

bool StepBlockSize(Runner& r, const Words& w) {
  long long frames;
  if (!ParseInt(w[1], frames) || frames < 1 || frames > 65536) return r.Fail("bad block size");
  if (!r.NeedEffect()) return false;
  Host().blockSize = static_cast<int32_t>(frames);
  r.session->SetBlockSize(static_cast<int32_t>(frames));
  return true;
}

bool StepMains(Runner& r, const Words& w) {
  if (w[1] != "on" && w[1] != "off") return r.Fail("mains takes on or off");
  if (!r.NeedEffect()) return false;
  r.session->SetActive(w[1] == "on");
  return true;
}

bool StepParam(Runner& r, const Words& w) {
  int32_t index;
  std::string valueText;
  bool hasValue;
  if (!SplitAssignment(w[1], index, valueText, hasValue)) return r.Fail("bad parameter index");
  double value = 0.0;
  if (hasValue && (!ParseDouble(valueText, value) || value < 0.0 || value > 1.0)) {
    return r.Fail("parameter value must be a number from 0 to 1");
  }
  if (!r.NeedEffect()) return false;
  WarnIndexBeyond(*r.session, index);
  if (hasValue) r.session->SetParam(index, value);
  PrintParameter(r, index);
  return true;
}

bool StepParamText(Runner& r, const Words& w) {
  int32_t index;
  std::string text;
  bool hasValue;
  if (!SplitAssignment(w[1], index, text, hasValue) || !hasValue)
    return r.Fail("paramtext takes N=TEXT");
  if (!r.NeedEffect()) return false;
  WarnIndexBeyond(*r.session, index);
  const intptr_t result = r.session->SetParamText(index, text);
  std::printf("paramtext %d result=%" PRIdPTR "\n", index, result);
  PrintParameter(r, index);
  return true;
}

bool StepParamBack(Runner& r, const Words& w) {
  int32_t index;
  if (!ParseIndex(w[1], index)) return r.Fail("bad parameter index");
  if (!r.NeedEffect()) return false;
  WarnIndexBeyond(*r.session, index);
  r.session->SetParam(index, r.session->Param(index).value);
  PrintParameter(r, index);
  return true;
}

constexpr int32_t kVendorFormatValue = 7;  // host extension: display of a position

bool StepParamFormat(Runner& r, const Words& w) {
  int32_t index;
  std::string valueText;
  bool hasValue;
  double value = 0.0;
  if (!SplitAssignment(w[1], index, valueText, hasValue) || !hasValue || !ParseDouble(valueText, value)) {
    return r.Fail("paramformat takes N=V");
  }
  Vst2Session* vst2 = r.NeedVst2();
  if (!vst2) return false;
  WarnIndexBeyond(*r.session, index);
  char buffer[512] = {};
  const intptr_t result = vst2->Dispatch(vst2::effVendorSpecific, kVendorFormatValue, index, buffer,
                                             static_cast<float>(value));
  buffer[sizeof buffer - 1] = '\0';
  if (std::strlen(buffer) > vst2::kMaxParamStrLen) {
    std::fprintf(stderr, "warning: display of %d is %zu characters, over the limit of %zu\n", index,
                 std::strlen(buffer), vst2::kMaxParamStrLen);
  }
  std::printf("paramformat %d result=%" PRIdPTR " display=\"%s\"\n", index, result, buffer);
  return true;
}

bool StepParamProps(Runner& r, const Words& w) {
  int32_t index;
  if (!ParseIndex(w[1], index)) return r.Fail("bad parameter index");
  Vst2Session* vst2 = r.NeedVst2();
  if (!vst2) return false;
  // Filled with a marker so that bytes the effect leaves alone show.
  unsigned char record[sizeof(vst2::VstParameterProperties)];
  std::memset(record, 0xA5, sizeof record);
  const intptr_t result = vst2->Dispatch(vst2::effGetParameterProperties, index, 0, record);
  std::string hex;
  char pair[3];
  for (unsigned char byte : record) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  std::printf("paramprops %d result=%" PRIdPTR " bytes=%s\n", index, result, hex.c_str());
  return true;
}

bool StepParams(Runner& r, const Words&) {
  if (!r.NeedEffect()) return false;
  for (int32_t i = 0; i < r.session->ParamCount(); ++i) PrintParameter(r, i);
  return true;
}

bool StepPrograms(Runner& r, const Words&) {
  if (!r.NeedEffect()) return false;
  for (int32_t i = 0; i < r.session->ProgramCount(); ++i) {
    const std::string name = r.session->ProgramName(i);
    std::printf("program %d name=\"%s\"\n", i, name.c_str());
  }
  return true;
}

bool StepProgram(Runner& r, const Words& w) {
  int32_t index = -1;
  if (w.size() > 1 && !ParseIndex(w[1], index)) return r.Fail("bad program number");
  if (!r.NeedEffect()) return false;
  if (index >= r.session->ProgramCount()) {
    std::fprintf(stderr, "warning: program %d is beyond the %d the effect announces\n", index,
                 r.session->ProgramCount());
  }
  if (index >= 0) r.session->SelectProgram(index);
  std::string name;
  const int32_t current = r.session->CurrentProgram(name);
  std::printf("program current=%d name=\"%s\"\n", current, name.c_str());
  return true;
}

bool ParseChunkKind(const std::string& kind, int32_t& index) {
  // The interface asks for the bank with index 0 and for one program otherwise.
  if (kind == "bank") {
    index = 0;
  } else if (kind == "program") {
    index = 1;
  } else {
    return false;
  }
  return true;
}

bool StepSaveChunk(Runner& r, const Words& w) {
  int32_t index;
  if (!ParseChunkKind(w[1], index)) return r.Fail("chunk kind must be program or bank");
  if (!r.NeedEffect()) return false;
  std::vector<char> state;
  if (!r.session->SaveState(index == 0, state, r.error)) return false;
  const size_t bytes = state.size();
  FILE* file = std::fopen(w[2].c_str(), "wb");
  bool ok = file != nullptr && std::fwrite(state.data(), 1, bytes, file) == bytes;
  if (file != nullptr && std::fclose(file) != 0) ok = false;
  if (!ok) return r.Fail("cannot write " + w[2]);
  std::printf("savechunk %s bytes=%zu\n", w[1].c_str(), bytes);
  return true;
}

constexpr size_t kMaxChunkBytes = 64u << 20;

bool StepLoadChunk(Runner& r, const Words& w) {
  int32_t index;
  if (!ParseChunkKind(w[1], index)) return r.Fail("chunk kind must be program or bank");
  FILE* file = std::fopen(w[2].c_str(), "rb");
  if (file == nullptr) return r.Fail("cannot open " + w[2]);
  std::vector<char> bytes;
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0 && bytes.size() <= kMaxChunkBytes) {
    bytes.insert(bytes.end(), block, block + got);
  }
  std::fclose(file);
  if (bytes.size() > kMaxChunkBytes) return r.Fail(w[2] + " is larger than 64 MiB");
  if (!r.NeedEffect()) return false;
  const intptr_t result = r.session->LoadState(index == 0, bytes);
  std::printf("loadchunk %s bytes=%zu result=%" PRIdPTR "\n", w[1].c_str(), bytes.size(), result);
  return true;
}

// "N=V@OFFSET": parameter N takes V at sample OFFSET of the next process step.
bool StepChange(Runner& r, const Words& w) {
  int32_t index;
  std::string rest;
  bool hasValue;
  const size_t at = w[1].find('@');
  if (at == std::string::npos || !SplitAssignment(w[1].substr(0, at), index, rest, hasValue) ||
      !hasValue) {
    return r.Fail("change takes N=V@OFFSET");
  }
  double value;
  long long offset;
  if (!ParseDouble(rest, value) || value < 0.0 || value > 1.0) {
    return r.Fail("parameter value must be a number from 0 to 1");
  }
  if (!ParseInt(w[1].substr(at + 1), offset) || offset < 0) return r.Fail("bad sample offset");
  r.changes.push_back({index, static_cast<int64_t>(offset), value});
  std::stable_sort(
      r.changes.begin(), r.changes.end(),
      [](const TimedParamChange& a, const TimedParamChange& b) { return a.offset < b.offset; });
  return true;
}

// "OFFSET NOTE [VELOCITY]": a note-on at sample OFFSET of the next process step.
bool StepNote(Runner& r, const Words& w) {
  long long offset, note, velocity = 100;
  if (!ParseInt(w[1], offset) || offset < -1000000000LL || offset > 1000000000LL) {
    return r.Fail("bad sample offset");
  }
  if (!ParseInt(w[2], note) || note < 0 || note > 127) return r.Fail("note must be 0 to 127");
  if (w.size() > 3 && (!ParseInt(w[3], velocity) || velocity < 0 || velocity > 127)) {
    return r.Fail("velocity must be 0 to 127");
  }
  r.notes.push_back({offset, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)});
  std::stable_sort(r.notes.begin(), r.notes.end(),
                   [](const TimedNoteOn& a, const TimedNoteOn& b) { return a.offset < b.offset; });
  return true;
}

bool StepTempo(Runner& r, const Words& w) {
  double bpm;
  if (!ParseDouble(w[1], bpm) || bpm < 0.0 || bpm > 10000.0) return r.Fail("bad tempo");
  Host().tempo = bpm;
  return true;
}

bool StepPosition(Runner& r, const Words& w) {
  double samples;
  if (!ParseDouble(w[1], samples)) return r.Fail("bad position");
  Host().samplePosition = samples;
  return true;
}

bool StepTransport(Runner& r, const Words& w) {
  Transport transport;
  if (w[1] == "playing") {
    transport = Transport::Playing;
  } else if (w[1] == "recording") {
    transport = Transport::Recording;
  } else if (w[1] == "stopped") {
    transport = Transport::Stopped;
  } else {
    return r.Fail("transport takes playing, recording or stopped");
  }
  if (transport != Host().transport) Host().transportChanged = true;
  Host().transport = transport;
  return true;
}

bool StepTimeSig(Runner& r, const Words& w) {
  const size_t slash = w[1].find('/');
  long long numerator, denominator;
  if (slash == std::string::npos || !ParseInt(w[1].substr(0, slash), numerator) ||
      !ParseInt(w[1].substr(slash + 1), denominator) || numerator < 1 || numerator > 64 ||
      denominator < 1 || denominator > 64) {
    return r.Fail("time signature must look like 3/4");
  }
  Host().timeSigNumerator = static_cast<int32_t>(numerator);
  Host().timeSigDenominator = static_cast<int32_t>(denominator);
  return true;
}

bool StepTimeInfo(Runner& r, const Words& w) {
  if (w[1] != "on" && w[1] != "off") return r.Fail("timeinfo takes on or off");
  Host().timeInfoAvailable = w[1] == "on";
  return true;
}

bool StepProduct(Runner&, const Words& w) {
  Host().productString = w[1];
  return true;
}

bool StepVendorVersion(Runner& r, const Words& w) {
  long long version;
  if (!ParseInt(w[1], version) || version < 0 || version > INT32_MAX)
    return r.Fail("bad vendor version");
  Host().vendorVersion = static_cast<int32_t>(version);
  return true;
}

bool StepCanDo(Runner& r, const Words& w) {
  Vst2Session* vst2 = r.NeedVst2();
  if (!vst2) return false;
  std::vector<char> text(w[1].begin(), w[1].end());
  text.push_back('\0');
  const intptr_t result = vst2->Dispatch(vst2::effCanDo, 0, 0, text.data());
  std::printf("cando %s result=%" PRIdPTR "\n", w[1].c_str(), result);
  return true;
}

bool StepDispatch(Runner& r, const Words& w) {
  long long opcode, index = 0, value = 0;
  double opt = 0.0;
  if (!ParseInt(w[1], opcode) || opcode < 0 || opcode > INT32_MAX ||
      (w.size() > 2 && !ParseInt(w[2], index)) || (w.size() > 3 && !ParseInt(w[3], value)) ||
      (w.size() > 4 && !ParseDouble(w[4], opt))) {
    return r.Fail("dispatch takes OPCODE [INDEX [VALUE [OPT]]] as numbers");
  }
  Vst2Session* vst2 = r.NeedVst2();
  if (!vst2) return false;
  if (opcode == vst2::effClose) return r.Fail("use the close step");
  // A scratch buffer for opcodes that write text or a pointer.
  alignas(8) char scratch[1024] = {};
  const intptr_t result =
      vst2->Dispatch(static_cast<int32_t>(opcode), static_cast<int32_t>(index),
                     static_cast<intptr_t>(value), scratch, static_cast<float>(opt));
  std::printf("dispatch opcode=%lld result=%" PRIdPTR "\n", opcode, result);
  return true;
}

bool StepProcess(Runner& r, const Words& w) {
  ProcessCallback callback = ProcessCallback::Replacing;
  if (w.size() > 3 && !ParseProcessCallback(w[3], callback)) {
    return r.Fail("callback must be replacing, double or accumulating");
  }
  WavAudio input, output;
  if (!ReadWav(w[1], input, r.error)) return false;
  if (!r.NeedEffect()) return false;
  if (input.sampleRate != static_cast<int>(Host().sampleRate)) {
    std::fprintf(stderr, "warning: %s is at %d Hz, the host runs at %.0f Hz\n", w[1].c_str(),
                 input.sampleRate, Host().sampleRate);
  }
  std::vector<TimedParamChange> changes;
  changes.swap(r.changes);
  std::vector<TimedNoteOn> notes;
  notes.swap(r.notes);
  if (!r.session->Render(input, callback, changes, notes, output, r.error)) return false;
  if (!WriteWav(w[2], output, WavFormat::Float32, r.error)) return false;
  const size_t block = static_cast<size_t>(Host().blockSize);
  std::printf("process frames=%zu blocks=%zu callback=%s\n", input.frames(),
              (input.frames() + block - 1) / block, w.size() > 3 ? w[3].c_str() : "replacing");
  return true;
}

bool StepGenerate(Runner& r, const Words& w) {
  TestSignalSettings settings;
  settings.kind = w[1];
  WavFormat format = WavFormat::Float32;
  for (size_t i = 3; i < w.size(); ++i) {
    const size_t eq = w[i].find('=');
    const std::string key = w[i].substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : w[i].substr(eq + 1);
    long long integer;
    bool ok = true;
    if (key == "seconds") {
      ok = ParseDouble(value, settings.seconds);
    } else if (key == "rate") {
      ok = ParseInt(value, integer) && integer > 0 && integer < 10000000;
      settings.sampleRate = static_cast<int>(ok ? integer : 0);
    } else if (key == "channels") {
      ok = ParseInt(value, integer) && integer > 0 && integer <= kWavMaxChannels;
      settings.channels = static_cast<int>(ok ? integer : 0);
    } else if (key == "format") {
      ok = ParseWavFormat(value, format);
    } else if (key == "freq") {
      ok = ParseDouble(value, settings.frequency);
    } else if (key == "level") {
      ok = ParseDouble(value, settings.level);
    } else {
      ok = false;
    }
    if (!ok) return r.Fail("bad generate option " + w[i]);
  }
  WavAudio audio;
  if (!GenerateTestSignal(settings, audio, r.error)) return false;
  if (!WriteWav(w[2], audio, format, r.error)) return false;
  std::printf("generate %s frames=%zu\n", settings.kind.c_str(), audio.frames());
  return true;
}

bool StepEditor(Runner& r, const Words& w) {
  if (!r.NeedEffect()) return false;
  return RunEditorStep(*r.session, r.editor, w, r.error);
}

bool StepLog(Runner& r, const Words& w) {
  return OpenRequestLog(w[1]) || r.Fail("cannot create log " + w[1]);
}

struct StepKind {
  const char* name;
  size_t minWords, maxWords;  // including the step's name
  bool (*run)(Runner&, const Words&);
};

constexpr StepKind kSteps[] = {
    {"open", 1, 1, StepOpen},
    {"close", 1, 1, StepClose},
    {"info", 1, 1, StepInfo},
    {"samplerate", 2, 2, StepSampleRate},
    {"blocksize", 2, 2, StepBlockSize},
    {"mains", 2, 2, StepMains},
    {"param", 2, 2, StepParam},
    {"paramtext", 2, 2, StepParamText},
    {"paramback", 2, 2, StepParamBack},
    {"paramformat", 2, 2, StepParamFormat},
    {"paramprops", 2, 2, StepParamProps},
    {"params", 1, 1, StepParams},
    {"programs", 1, 1, StepPrograms},
    {"program", 1, 2, StepProgram},
    {"savechunk", 3, 3, StepSaveChunk},
    {"loadchunk", 3, 3, StepLoadChunk},
    {"tempo", 2, 2, StepTempo},
    {"position", 2, 2, StepPosition},
    {"transport", 2, 2, StepTransport},
    {"timesig", 2, 2, StepTimeSig},
    {"timeinfo", 2, 2, StepTimeInfo},
    {"product", 2, 2, StepProduct},
    {"vendorversion", 2, 2, StepVendorVersion},
    {"cando", 2, 2, StepCanDo},
    {"dispatch", 2, 5, StepDispatch},
    {"change", 2, 2, StepChange},
    {"note", 3, 4, StepNote},
    {"process", 3, 4, StepProcess},
    {"generate", 3, 9, StepGenerate},
    {"log", 2, 2, StepLog},
    {"editor", 2, 7, StepEditor},
};

bool RunStep(Runner& r, const std::string& line) {
  Words words;
  if (!SplitStep(line, words, r.error)) return false;
  if (words.empty()) return true;
  for (const StepKind& kind : kSteps) {
    if (words[0] != kind.name) continue;
    if (words.size() < kind.minWords || words.size() > kind.maxWords) {
      return r.Fail("wrong number of arguments");
    }
    return kind.run(r, words);
  }
  return r.Fail("unknown step");
}

}  // namespace

int RunScript(const std::string& modulePath, const std::vector<std::string>& steps) {
  Runner runner;
  runner.modulePath = modulePath;
  int exitCode = 0;
  for (size_t i = 0; i < steps.size() && exitCode == 0; ++i) {
    const bool wasCreated = runner.created;
    if (!RunStep(runner, steps[i])) {
      std::fprintf(stderr, "error: step %zu \"%s\": %s\n", i + 1, steps[i].c_str(),
                   runner.error.c_str());
      const bool loadFailed = !wasCreated && runner.created && !runner.Alive();
      exitCode = loadFailed ? 3 : 1;
    }
    std::fflush(stdout);
  }
  // A script that never touched the effect still proves that it loads.
  if (exitCode == 0 && !runner.created && modulePath != "none" && !runner.NeedEffect()) {
    std::fprintf(stderr, "error: %s\n", runner.error.c_str());
    exitCode = 3;
  }
  if (runner.session) {
    runner.editor.Close(*runner.session);
    runner.session->Close();
  }
  CloseRequestLog();
  return exitCode;
}
