// The pattern tests in the Windows build as well: a seed and a clipboard text
// must give the same pattern in every build, and these files check exactly
// that against fixed texts and reference values.
#include "tests/engine/pattern_history_test.cpp"
#include "tests/engine/pattern_ops_test.cpp"
#include "tests/engine/pattern_text_test.cpp"
