// The X11 editor's share of the sizes: the size menu, the desktop's density,
// and following a new size.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "editor_x11/display_connection.h"
#include "editor_x11/editor_window_x11.h"
#include "gui/editor_scale.h"
// Xlib last: its KeyCode would clash with the view's.
#include "editor_x11/x11_headers.h"

namespace {

// The menu's 100 % box: room for "Size: 200 %" and a row per size.
constexpr int kMenuWidth = 112;

// The number after "Xft.dpi:" in the server's resource text, 0 if none.
int XftDpi(const char* resources) {
  if (resources == nullptr) return 0;
  static const char kKey[] = "Xft.dpi:";
  for (const char* at = resources; (at = std::strstr(at, kKey)) != nullptr; ++at) {
    if (at != resources && at[-1] != '\n') continue;
    const double dpi = std::strtod(at + sizeof(kKey) - 1, nullptr);
    return dpi >= 1.0 && dpi < 10000.0 ? static_cast<int>(dpi + 0.5) : 0;
  }
  return 0;
}

}  // namespace

int XEditorWindow::PromptSizeMenu(int x, int y, int current) {
  if (display_ == nullptr || popup_.window != 0) return 0;
  std::vector<std::string> entries;
  int selected = -1;
  for (int i = 0; i < kEditorSizeCount; ++i) {
    entries.emplace_back(SizeMenuEntry(kEditorSizes[i]).text);
    if (kEditorSizes[i] == current) selected = i;
  }
  // The menu is a child of the editor's window, so it is kept inside it.
  const int width = ScaleCoordinate(kMenuWidth, SizePercent());
  const int height = ScaleCoordinate(kPopupRowHeight, SizePercent()) * kEditorSizeCount;
  const int left = std::max(0, std::min(x, PixelWidth() - width));
  const int top = std::max(0, std::min(y, PixelHeight() - height));
  if (OpenPopupAt(Rect{left, top, left + width, top + height}, nullptr, nullptr, std::string(),
                  std::move(entries), selected)) {
    popup_.sizeMenu = true;
  }
  return 0;
}

int XEditorWindow::ScreenDpi() {
  // Before the window opens (the host asking for the editor's rectangle) a
  // connection of its own reads the density, so the first rectangle the
  // host hears is already the size the window opens at.
  Display* display = display_ != nullptr ? display_ : OpenDisplayConnection();
  if (display == nullptr) return kBaseDpi;
  const int dpi = XftDpi(XResourceManagerString(display));
  if (display != display_) XCloseDisplay(display);
  return dpi > 0 ? dpi : kBaseDpi;
}

void XEditorWindow::OnSizeChanged() {
  if (display_ == nullptr) return;
  // A popup placed for the old size goes, with nothing applied.
  DestroyPopup();
  XResizeWindow(display_, window_, static_cast<unsigned>(PixelWidth()),
                static_cast<unsigned>(PixelHeight()));
  exposed_ = Rect{0, 0, PixelWidth(), PixelHeight()};
  XFlush(display_);
}
