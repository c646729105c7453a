// The host's script: steps as text lines, split into words, and the runner
// that carries them out one by one against the effect session.
#pragma once

#include <string>
#include <vector>

// Splits a step into words at blanks; "double quotes" keep blanks inside a
// word. False (with a reason) for an unterminated quote.
bool SplitStep(const std::string& line, std::vector<std::string>& words, std::string& error);

// Appends the steps of a script file: one per line, blank lines and lines
// starting with # skipped.
bool ReadScriptFile(const std::string& path, std::vector<std::string>& steps, std::string& error);

// Runs the steps in order, stopping at the first failure (reported on
// standard error). modulePath "none" runs without an effect (generate only).
// Returns the process exit code: 0 success, 1 a failed step, 3 load failure.
int RunScript(const std::string& modulePath, const std::vector<std::string>& steps);

// The step reference printed by --help.
extern const char kStepUsage[];
