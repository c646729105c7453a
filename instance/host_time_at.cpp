// [audio thread]
#include "instance/host_time_at.h"

HostTime HostTimeAt(const TransportFacts& facts, int32_t offset) {
  HostTime t;
  const int64_t position = facts.blockPosition + offset;
  t.samplePosition = static_cast<double>(position);
  const bool rolling = position >= 0;
  t.playing = rolling && facts.playing;
  t.recording = rolling && facts.recording;
  if (facts.tempoValid) {
    t.tempo = facts.tempo;
    t.tempoValid = true;
  }
  if (facts.signatureValid) {
    t.numerator = facts.numerator;
    t.denominator = facts.denominator;
    t.signatureValid = true;
  }
  return t;
}
