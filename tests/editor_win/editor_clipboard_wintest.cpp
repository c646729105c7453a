// The editor on the Windows clipboard, checked against what the clipboard
// itself holds: text copied comes back as UTF-8 and reads as UTF-16 for
// other programs; text other programs put there is pasted, what is not text
// (or too much of it) is not; a clipboard held open elsewhere is waited for
// only briefly.
#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "editor_fixture.h"
#include "gui/clipboard_text.h"

namespace editor_test {
namespace {

// "QRV1 c7 € café 𝄞" as UTF-8 and, by hand, as UTF-16 (the clef is a pair).
const char kUtf8[] = "QRV1 c7 \xE2\x82\xAC caf\xC3\xA9 \xF0\x9D\x84\x9E";
const wchar_t kUtf16[] = {L'Q', L'R', L'V', L'1', L' ', L'c', L'7',   L' ',   0x20AC,
                          L' ', L'c', L'a', L'f', 0xE9, L' ', 0xD834, 0xDD1E, 0};

// Puts `size` bytes on the clipboard as `format` alone, as another program
// would; no format at all when size is 0.
void PutOnClipboard(UINT format, const void* bytes, size_t size) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  if (size > 0) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    EXPECT_NE(SetClipboardData(format, memory), nullptr);
  }
  CloseClipboard();
}

std::string Repeat(const char* piece, size_t count) {
  std::string result;
  for (size_t i = 0; i < count; ++i) result += piece;
  return result;
}

void PutUnicode(const std::wstring& text) {
  PutOnClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

class EditorClipboard : public OpenEditor {};

TEST_F(EditorClipboard, CopiedTextReadsAsUtf16ElsewhereAndPastesBackAsUtf8) {
  ASSERT_TRUE(editor_->CopyToClipboard(kUtf8));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE unicode = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(unicode, nullptr);
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(unicode))), std::wstring(kUtf16));
  GlobalUnlock(unicode);
  // The ANSI form, for older readers: its ASCII part at least is exact.
  HANDLE ansi = GetClipboardData(CF_TEXT);
  ASSERT_NE(ansi, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(ansi))).substr(0, 8), "QRV1 c7 ");
  GlobalUnlock(ansi);
  CloseClipboard();
  std::string pasted;
  ASSERT_TRUE(editor_->PasteFromClipboard(&pasted));
  EXPECT_EQ(pasted, kUtf8);
  // Text that is not UTF-8, or too long, is not copied; the clipboard keeps
  // what it had.
  EXPECT_FALSE(editor_->CopyToClipboard("caf\xE9"));
  EXPECT_FALSE(editor_->CopyToClipboard(std::string(kMaxClipboardBytes + 1, 'a').c_str()));
  ASSERT_TRUE(editor_->PasteFromClipboard(&pasted));
  EXPECT_EQ(pasted, kUtf8);
}

TEST_F(EditorClipboard, PasteTakesOtherProgramsTextAndRefusesWhatIsNotText) {
  const std::string largest(kMaxClipboardBytes, 'x');
  struct Row {
    const char* name;
    std::function<void()> put;
    bool pasted;
    std::string expected;
  };
  const Row rows[] = {
      {"UTF-16", [] { PutUnicode(L"\u00FCber"); }, true,
       "\xC3\xBC"
       "ber"},
      {"ANSI alone", [] { PutOnClipboard(CF_TEXT, "plain", 6); }, true, "plain"},
      {"the largest", [] { PutUnicode(std::wstring(kMaxClipboardBytes, L'x')); }, true, largest},
      {"too many characters", [] { PutUnicode(std::wstring(kMaxClipboardBytes + 1, L'x')); }, false,
       ""},
      // Half as many two-byte characters fill the limit in UTF-8, one more
      // passes it.
      {"the largest in UTF-8", [] { PutUnicode(std::wstring(kMaxClipboardBytes / 2, 0xE9)); }, true,
       Repeat("\xC3\xA9", kMaxClipboardBytes / 2)},
      {"too large in UTF-8", [] { PutUnicode(std::wstring(kMaxClipboardBytes / 2 + 1, 0xE9)); },
       false, ""},
      {"a lone surrogate", [] { PutUnicode(std::wstring(L"a") + wchar_t(0xD800)); }, false, ""},
      {"empty", [] { PutOnClipboard(CF_TEXT, nullptr, 0); }, false, ""},
      {"a private format",
       [] { PutOnClipboard(RegisterClipboardFormatA("QuorvelTestData"), "x", 1); }, false, ""},
  };
  for (const Row& row : rows) {
    row.put();
    std::string text = "unchanged";
    EXPECT_EQ(editor_->PasteFromClipboard(&text), row.pasted) << row.name;
    // Compared by value: the long rows would print pages.
    EXPECT_TRUE(text == (row.pasted ? row.expected : "unchanged")) << row.name;
  }
}

TEST_F(EditorClipboard, AClipboardHeldElsewhereFailsTheCopyUntilReleased) {
  std::atomic<int> stage{0};
  std::thread holder([&] {
    stage = OpenClipboard(nullptr) ? 1 : -1;
    while (stage == 1) Sleep(1);
    CloseClipboard();
  });
  while (stage == 0) Sleep(1);
  ASSERT_EQ(stage, 1);
  std::string text = "unchanged";
  const bool copiedWhileHeld = editor_->CopyToClipboard("held");
  stage = 2;
  holder.join();
  EXPECT_FALSE(copiedWhileHeld);
  ASSERT_TRUE(editor_->CopyToClipboard("free"));
  ASSERT_TRUE(editor_->PasteFromClipboard(&text));
  EXPECT_EQ(text, "free");
}

}  // namespace
}  // namespace editor_test
