// The editor's per-user settings file: where it lives natively, what it
// holds, and what it makes of a file it did not write.
#include "gui/user_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

TEST(UserSettings, SizeLivesInTheXdgConfigFolderAndReadsBackOnlyWhenValid) {
  char folder[] = "/tmp/quorvel-settings-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old != nullptr ? old : "";
  setenv("XDG_CONFIG_HOME", folder, 1);
  SetUserSettingsFolder("");
  const std::string file = std::string(folder) + "/Quorvel/editor.txt";

  EXPECT_EQ(LoadEditorSizeSetting(), 0);  // nothing stored yet
  ASSERT_TRUE(SaveEditorSizeSetting(175));
  std::string text;
  ASSERT_TRUE(ReadSmallFile(file, &text));
  EXPECT_EQ(text, "size=175\n");
  EXPECT_EQ(LoadEditorSizeSetting(), 175);

  const struct {
    const char* text;
    int size;
  } files[] = {{"size=125", 125}, {"size=200\n", 200},          {"size=130\n", 0}, {"size=", 0},
               {"", 0},           {"colour=1\nsize=150\n", 150}};
  for (const auto& f : files) {
    ASSERT_TRUE(WriteSmallFile(file, f.text));
    EXPECT_EQ(LoadEditorSizeSetting(), f.size) << f.text;
  }

  // A folder chosen instead (as the tests do) holds its own file.
  const std::string own = std::string(folder) + "/own";
  ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
  SetUserSettingsFolder(own);
  EXPECT_EQ(LoadEditorSizeSetting(), 0);
  ASSERT_TRUE(SaveEditorSizeSetting(100));
  EXPECT_EQ(LoadEditorSizeSetting(), 100);
  SetUserSettingsFolder("");
  EXPECT_EQ(LoadEditorSizeSetting(), 150);

  std::remove((own + "/editor.txt").c_str());
  rmdir(own.c_str());
  std::remove(file.c_str());
  rmdir((std::string(folder) + "/Quorvel").c_str());
  rmdir(folder);
  if (old != nullptr) {
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace
