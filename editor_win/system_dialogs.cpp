#include "editor_win/system_dialogs.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

#include "editor_win/file_filter.h"

namespace {

// Titles the colour chooser with the prompt handed over as custom data.
UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* choose = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    if (choose != nullptr && choose->lCustData != 0) {
      SetWindowTextA(dialog, reinterpret_cast<const char*>(choose->lCustData));
    }
  }
  return 0;
}

}  // namespace

bool ChooseColourDialog(HWND owner, COLORREF* customColours, Colour* colour, const char* prompt) {
  if (colour == nullptr || customColours == nullptr) return false;
  CHOOSECOLORA choose = {};
  choose.lStructSize = sizeof(choose);
  choose.hwndOwner = owner;
  choose.rgbResult = RGB(colour->R, colour->G, colour->B);
  choose.lpCustColors = customColours;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  choose.lCustData = reinterpret_cast<LPARAM>(prompt);
  choose.lpfnHook = ColourDialogHook;
  if (!ChooseColorA(&choose)) return false;
  colour->R = GetRValue(choose.rgbResult);
  colour->G = GetGValue(choose.rgbResult);
  colour->B = GetBValue(choose.rgbResult);
  return true;
}

std::string FileDialog(HWND owner, const std::string& proposedName, int action,
                       const std::string& directory, const char* extensions) {
  char file[256] = {};
  std::strncpy(file, proposedName.c_str(), sizeof(file) - 1);
  const FileFilter filter = BuildFileFilter(extensions);

  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof(file) - 1;
  dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
  dialog.lpstrTitle = "Select audio sample";
  if (!filter.filter.empty()) {
    dialog.lpstrFilter = filter.filter.c_str();
    dialog.lpstrDefExt = filter.defaultExtension.c_str();
  }
  BOOL chosen;
  if (action == kFileSave) {
    // A file to save to need not exist yet; an existing one is confirmed.
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    chosen = GetSaveFileNameA(&dialog);
  } else {
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    chosen = GetOpenFileNameA(&dialog);
  }
  return chosen ? std::string(file) : std::string();
}

bool OpenUrlWithShell(HWND owner, const char* url, const char* title, const char* confirm,
                      const char* error) {
  if (url == nullptr) return false;
  if (confirm != nullptr && MessageBoxA(owner, confirm, title, MB_YESNO) != IDYES) return false;
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  if (error != nullptr) MessageBoxA(owner, error, title, MB_OK);
  return false;
}
