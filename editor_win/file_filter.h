// The filter of the file dialogs, built from a list of extensions.
#pragma once

#include <string>

struct FileFilter {
  // Description, NUL, pattern, NUL, NUL; empty when there are no extensions.
  std::string filter;
  // The first extension, without a dot.
  std::string defaultExtension;
};

// "wav aif" gives the pattern "*.wav;*.aif", used as description and
// pattern alike, and the default extension "wav". [any thread]
FileFilter BuildFileFilter(const char* extensions);
