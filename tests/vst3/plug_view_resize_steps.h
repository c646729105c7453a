// The view's own size changes, played against a host's frame that resizes its
// window only when the view's get_size differs from the size asked for, and
// confirms with on_size: grow, shrink, a refusal, and a confirmation that
// comes after resize_view returned; then sizes the host sets unasked. The
// same steps run on the Win32 and the X11 editor; each platform reads its
// own windows.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "tools/host/vst3_host_objects.h"

enum class HostAnswer { Follows, Refuses, FollowsLater };

struct ResizeStep {
  float contentScale;
  HostAnswer answer;
  int width, height;  // the view's, the host window's and the editor window's size after
};

// From the editor at 100 % (620 × 285), open in a host window of that size.
constexpr ResizeStep kResizeSteps[] = {
    {2.0f, HostAnswer::Follows, 1240, 570},      // larger: the host's window grows
    {1.5f, HostAnswer::Follows, 930, 428},       // smaller: it shrinks
    {1.0f, HostAnswer::Refuses, 930, 428},       // the editor stays at the host's size
    {1.0f, HostAnswer::FollowsLater, 620, 285},  // on_size after resize_view returned
};

struct WindowSize {
  int width, height;
};

inline WindowSize ViewSize(v3_plugin_view** view) {
  v3_view_rect rect = {};
  EXPECT_EQ(v3_cpp_obj(view)->get_size(view, &rect), kResultOk);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// `host` is the frame of the attached view; hostWindow and editorWindow read
// the two windows' sizes (editorWindow once the editor's own resize shows).
inline void PlayResizeSteps(HostContext& host, v3_plugin_view** view,
                            v3_plugin_view_content_scale** scale,
                            const std::function<WindowSize()>& hostWindow,
                            const std::function<WindowSize(WindowSize expected)>& editorWindow) {
  for (const ResizeStep& step : kResizeSteps) {
    SCOPED_TRACE(testing::Message()
                 << "scale " << step.contentScale << " to " << step.width << "x" << step.height);
    const WindowSize before = ViewSize(view);
    const int requests = host.resizes;
    const int followed = host.windowResizes;
    host.refuseResizes = step.answer == HostAnswer::Refuses;
    host.deferResizes = step.answer == HostAnswer::FollowsLater;
    EXPECT_EQ(v3_cpp_obj(scale)->set_content_scale_factor(scale, step.contentScale), kResultOk);
    EXPECT_EQ(host.resizes, requests + 1);
    if (step.answer == HostAnswer::FollowsLater) {
      // Agreed, not yet confirmed: the host still sees the view at its size.
      const WindowSize waiting = ViewSize(view);
      EXPECT_EQ(waiting.width, before.width);
      EXPECT_EQ(waiting.height, before.height);
      EXPECT_TRUE(host.ConfirmResize());
    }
    EXPECT_EQ(host.windowResizes, followed + (step.answer == HostAnswer::Refuses ? 0 : 1));
    const WindowSize shown = ViewSize(view);
    EXPECT_EQ(shown.width, step.width);
    EXPECT_EQ(shown.height, step.height);
    const WindowSize outer = hostWindow();
    EXPECT_EQ(outer.width, step.width);
    EXPECT_EQ(outer.height, step.height);
    const WindowSize inner = editorWindow({step.width, step.height});
    EXPECT_EQ(inner.width, step.width);
    EXPECT_EQ(inner.height, step.height);
  }
  host.refuseResizes = host.deferResizes = false;
  // A size the host sets of its own accord is answered and changes nothing:
  // the view cannot be resized by its host.
  EXPECT_EQ(v3_cpp_obj(view)->can_resize(view), kResultFalse);
  const WindowSize kept = ViewSize(view);
  for (const v3_view_rect& offered : {v3_view_rect{0, 0, kept.width, kept.height},
                                      v3_view_rect{0, 0, kept.width + 100, kept.height + 50}}) {
    v3_view_rect rect = offered;
    EXPECT_EQ(v3_cpp_obj(view)->on_size(view, &rect), kResultOk);
    EXPECT_EQ(ViewSize(view).width, kept.width);
    EXPECT_EQ(ViewSize(view).height, kept.height);
    EXPECT_EQ(v3_cpp_obj(view)->check_size_constraint(view, &rect), kResultOk);
    EXPECT_EQ(rect.right - rect.left, kept.width);
    EXPECT_EQ(rect.bottom - rect.top, kept.height);
  }
}
