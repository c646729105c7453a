// quorvel_host: a headless VST 2 and VST 3 host for tests and demo renders.
//
//   quorvel_host PLUGIN|none [STEP | -f SCRIPT]...
//
// Loads PLUGIN (a .so natively, a .dll on Windows; a NAME.vst3 bundle in
// either), creates the effect at the first step that needs it (VST 2 through
// `VSTPluginMain` with this host's audio-master callback, VST 3 through the
// bundle's factory), and runs the steps in order; the steps speak to the
// format-neutral session (plugin_session.h). Each command-line argument
// is one step ("param 0=0.5"); -f SCRIPT inserts the steps of a file, one per
// line, # comments. "none" runs without a module (for generate).
//
// Steps:
//   open, close, info                        effOpen, effClose, record and names
//   samplerate HZ, blocksize N, mains on|off  effSetSampleRate, effSetBlockSize,
//                                            effMainsChanged
//   param N=V, param N, paramtext N=TEXT, params
//                                            set (normalised) / print parameters;
//                                            paramtext uses effString2Parameter
//   programs, program [N]                    program names; select / print current
//   savechunk|loadchunk program|bank FILE    effGetChunk / effSetChunk via a file
//   tempo BPM, position SAMPLES, transport playing|recording|stopped,
//   timesig N/D, timeinfo on|off             what audioMasterGetTime answers
//   product TEXT, vendorversion N            the host's identity (QuorvelTestHost, 1000)
//   cando TEXT, dispatch OP [INDEX [VALUE [OPT]]]   raw effect queries
//   process IN OUT [replacing|double|accumulating]  render a WAV file in blocks;
//                                            the position advances while playing
//   generate pad|sine|dc|noise FILE [key=value...]  write a test signal
//   log FILE|-                               one line per audio-master request
//   editor open|close, editor click X Y [right], editor drag X1 Y1 X2 Y2,
//   editor wheel X Y NOTCHES, editor ticks N, editor capture FILE.bmp,
//   editor scale F
//                                            the effect's editor in a window of
//                                            the host's (Windows build only)
//
// Results go to standard output, one grep-able line each ("param 0 name=...",
// "info flags=0x1018", "loadchunk bank bytes=140 result=1"); warnings and
// errors to standard error. Exit code: 0 success, 1 a step failed, 2 usage,
// 3 the module or its effect could not be loaded.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/host/script_steps.h"

namespace {

void PrintUsage(FILE* out) {
  std::fprintf(out, "usage: quorvel_host PLUGIN|none [STEP | -f SCRIPT]...\n\n%s", kStepUsage);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0) {
    PrintUsage(stdout);
    return 0;
  }
  std::vector<std::string> steps;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "-f") == 0) {
      if (i + 1 >= argc) {
        PrintUsage(stderr);
        return 2;
      }
      std::string error;
      if (!ReadScriptFile(argv[++i], steps, error)) {
        std::fprintf(stderr, "error: %s\n", error.c_str());
        return 1;
      }
    } else {
      steps.push_back(argv[i]);
    }
  }
  return RunScript(argv[1], steps);
}
