#include <cstdio>

#include "tools/host/script_steps.h"

bool SplitStep(const std::string& line, std::vector<std::string>& words, std::string& error) {
  words.clear();
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size()) break;
    std::string word;
    bool inQuotes = false;
    while (i < line.size() && (inQuotes || (line[i] != ' ' && line[i] != '\t' && line[i] != '\r'))) {
      if (line[i] == '"') {
        inQuotes = !inQuotes;
      } else {
        word += line[i];
      }
      ++i;
    }
    if (inQuotes) {
      error = "unterminated quote";
      return false;
    }
    words.push_back(word);
  }
  return true;
}

bool ReadScriptFile(const std::string& path, std::vector<std::string>& steps, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = "cannot open script " + path;
    return false;
  }
  std::string line;
  int c;
  auto finishLine = [&]() {
    size_t first = line.find_first_not_of(" \t\r");
    if (first != std::string::npos && line[first] != '#') steps.push_back(line.substr(first));
    line.clear();
  };
  while ((c = std::fgetc(file)) != EOF) {
    if (c == '\n') {
      finishLine();
    } else {
      line += static_cast<char>(c);
    }
  }
  finishLine();
  std::fclose(file);
  return true;
}
