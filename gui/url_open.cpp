#include "gui/url_open.h"

#include <cstdio>

#include "framework/plug_base.h"
#include "gui/editor_view.h"

void IURLOpen::OnMouseDown(int, int, const MouseMods&) {
  if (!view_) return;
  char address[256];
  std::snprintf(address, sizeof(address), "https://%s/%s", kWebHost,
                plug_ ? plug_->EffectName() : "");
  view_->OpenUrl(address, nullptr, nullptr, kOpenError);
}
