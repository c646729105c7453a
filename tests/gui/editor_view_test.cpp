#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "gui/bitmap_cache.h"
#include "gui/control.h"
#include "gui/empty_control.h"
#include "support/gui_test_images.h"
#include "tests/gui/gui_fixture.h"

namespace {

// A control that notes when it is drawn and fills itself with one colour.
class Probe : public IControl {
 public:
  Probe(std::vector<std::string>* order, const char* name, const Rect& rect, uint32_t colour,
        int param = -1)
      : IControl(nullptr, rect, param), order_(order), name_(name), colour_(colour) {}
  bool Draw(IEditorView& view) override {
    order_->push_back(name_);
    Colour c{static_cast<int>(colour_ >> 24), static_cast<int>((colour_ >> 16) & 255),
             static_cast<int>((colour_ >> 8) & 255), static_cast<int>(colour_ & 255)};
    return view.FillColourRect(c, rect_, nullptr);
  }

 private:
  std::vector<std::string>* order_;
  std::string name_;
  uint32_t colour_;
};

TEST(EditorView, DrawsInListOrderAndUnitesDirtyRectangles) {
  GuiFixture f(100, 100);
  std::vector<std::string> order;
  f.view->AttachControl(new Probe(&order, "a", Rect{10, 10, 40, 40}, 0xFFFF0000));
  f.view->AttachControl(new Probe(&order, "b", Rect{30, 30, 60, 50}, 0xFF00FF00));
  f.view->AttachControl(new Probe(&order, "far", Rect{80, 80, 90, 90}, 0xFF0000FF));
  f.Attach();

  Rect dirty;
  ASSERT_TRUE(f.view->CollectDirty(&dirty));
  EXPECT_EQ(dirty, (Rect{10, 10, 90, 90}));

  // A pass over a part that misses "far" draws only the two overlapping ones,
  // later on top, and paints exactly that part.
  order.clear();
  f.view->Draw(Rect{0, 0, 50, 50});
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(f.view->PixelAt(35, 35), 0xFF00FF00u);
  EXPECT_EQ(f.view->PixelAt(20, 20), 0xFFFF0000u);
  ASSERT_EQ(f.view->painted.size(), 1u);
  EXPECT_EQ(f.view->painted[0], (Rect{0, 0, 50, 50}));

  // Only what was drawn is clean: "far" waits for a pass that covers it.
  Rect left;
  EXPECT_TRUE(f.view->CollectDirty(&left));
  EXPECT_EQ(left, (Rect{80, 80, 90, 90}));
  order.clear();
  f.view->Draw(left);
  EXPECT_EQ(order, (std::vector<std::string>{"far"}));
  Rect none;
  EXPECT_FALSE(f.view->CollectDirty(&none));
  EXPECT_TRUE(none.IsEmpty());
}

TEST(EditorView, AControlWithoutAreaNeverAsksForARedraw) {
  GuiFixture f(100, 100);
  auto* carrier = new IEmpty(&f.plug, GuiTestPlug::kPercent);
  f.view->AttachControl(carrier);
  f.Attach();
  // A value handed to it as the user's (what an edit does) marks it for two
  // passes; with nothing to draw it asks for none and is clean by the next.
  f.view->SetControlsFromUser(GuiTestPlug::kPercent, 0.25);
  ASSERT_TRUE(carrier->IsDirty());
  for (int ask = 0; ask < 2; ++ask) {
    Rect dirty;
    EXPECT_FALSE(f.view->CollectDirty(&dirty)) << ask;
  }
  EXPECT_FALSE(carrier->IsDirty());
}

TEST(EditorView, ValueFromPluginIsDrawnInTwoPasses) {
  GuiFixture f(100, 100);
  std::vector<std::string> order;
  auto* probe = new Probe(&order, "p", Rect{0, 0, 10, 10}, 0xFFFFFFFF, GuiTestPlug::kPercent);
  auto* hidden = new Probe(&order, "hidden", Rect{0, 0, 10, 10}, 0xFF000000);
  f.view->AttachControl(probe);
  f.view->AttachControl(hidden);
  f.Attach();
  hidden->SetHidden(true);
  while (f.Tick()) {
  }
  order.clear();

  f.view->SetParameterFromPlugin(GuiTestPlug::kPercent, 40.0, false);
  EXPECT_DOUBLE_EQ(probe->GetValue(), 0.4);
  EXPECT_TRUE(f.Tick());
  EXPECT_TRUE(f.Tick());
  EXPECT_FALSE(f.Tick());
  EXPECT_EQ(order, (std::vector<std::string>{"p", "p"}));
  // Nothing went back to the plug-in.
  EXPECT_TRUE(f.plug.LogWith("automate").empty());
}

TEST(EditorView, FindsTheLaterControlAndSkipsGreyedAndHidden) {
  GuiFixture f(100, 100);
  std::vector<std::string> order;
  auto* a = new Probe(&order, "a", Rect{10, 10, 50, 50}, 0);
  auto* b = new Probe(&order, "b", Rect{30, 30, 70, 70}, 0);
  EXPECT_EQ(f.view->AttachControl(a), 0);
  EXPECT_EQ(f.view->AttachControl(b), 1);
  EXPECT_EQ(f.view->FindControlAt(40, 40), 1);
  EXPECT_EQ(f.view->FindControlAt(70, 70), 1);  // edges belong to the control
  EXPECT_EQ(f.view->FindControlAt(10, 10), 0);
  EXPECT_EQ(f.view->FindControlAt(71, 71), -1);
  b->SetGrayed(true);
  EXPECT_FLOAT_EQ(b->GetBlend().weight, 0.25f);
  EXPECT_EQ(f.view->FindControlAt(40, 40), 0);
  b->SetGrayed(false);
  EXPECT_FLOAT_EQ(b->GetBlend().weight, 1.0f);
  b->SetHidden(true);
  EXPECT_EQ(f.view->FindControlAt(40, 40), 0);
  EXPECT_EQ(f.view->FindControlAt(60, 60), -1);
  f.Attach();
}

TEST(EditorView, DragsGoToTheCapturedControlOnlyWhenThePointerMoves) {
  GuiFixture f(100, 100);
  struct Recorder : IControl {
    explicit Recorder(const Rect& r) : IControl(nullptr, r) {}
    bool Draw(IEditorView&) override { return true; }
    void OnMouseDrag(int x, int y, int dX, int dY, const MouseMods&) override {
      drags.push_back({x, y, dX, dY});
    }
    void OnMouseUp(int x, int y, const MouseMods&) override { ups.push_back({x, y, 0, 0}); }
    std::vector<std::vector<int>> drags, ups;
  };
  auto* recorder = new Recorder(Rect{0, 0, 20, 20});
  f.view->AttachControl(recorder);
  f.Attach();
  f.view->OnMouseDown(5, 5, LeftButton());
  f.view->OnMouseDrag(5, 5, LeftButton());
  f.view->OnMouseDrag(60, 8, LeftButton());  // outside, still captured
  f.view->OnMouseDrag(60, 8, LeftButton());
  f.view->OnMouseUp(90, 90, LeftButton());
  EXPECT_EQ(recorder->drags, (std::vector<std::vector<int>>{{60, 8, 55, 3}}));
  EXPECT_EQ(recorder->ups, (std::vector<std::vector<int>>{{90, 90, 0, 0}}));
  EXPECT_EQ(f.view->CapturedControl(), -1);
}

TEST(EditorView, ImagesAreDecodedOncePerProcessAndCropsAreNeverFound) {
  gui_images::Define(930, 8, 6, [](int x, int y) { return gui_images::PositionPixel(x, y, 30); });
  GuiFixture f(100, 100);
  const BitmapRef first = f.view->LoadBitmap(930, "first", 1);
  const BitmapRef second = f.view->LoadBitmap(930, "second", 3);
  EXPECT_EQ(first.bitmap, second.bitmap);
  EXPECT_EQ(second.frames, 3);
  EXPECT_EQ(first.width, 8);
  EXPECT_EQ(first.height, 6);
  EXPECT_EQ(gui_images::MakeCount(930), 1);

  const BitmapRef crop = f.view->CropBitmap(first, Rect{2, 1, 6, 4});
  EXPECT_EQ(crop.width, 4);
  EXPECT_EQ(crop.height, 3);
  EXPECT_EQ(crop.bitmap->GetBits()[0], gui_images::PositionPixel(2, 1, 30));
  EXPECT_NE(BitmapCache::Find(BitmapCache::kUnlistedId), crop.bitmap);
  EXPECT_EQ(f.view->LoadBitmap(930, "", 1).bitmap, first.bitmap);
  f.Attach();
}

TEST(EditorView, FramesAndClippingOfBitmaps) {
  gui_images::Define(931, 112, 31,
                     [](int x, int y) { return gui_images::PositionPixel(x, y, 31); });
  GuiFixture f(200, 100);
  f.Attach();
  f.view->ClearBackBuffer(0xFF000000);
  const BitmapRef rocker = f.view->LoadBitmap(931, "", 2);
  f.view->Draw(Rect{0, 0, 200, 100});  // sets the draw rectangle; no controls → nothing

  struct FrameDrawer : IControl {
    FrameDrawer(BitmapRef image, int frame)
        : IControl(nullptr, Rect{0, 0, 56, 31}), image_(image), frame_(frame) {}
    bool Draw(IEditorView& view) override {
      return view.DrawBitmapFrame(image_, rect_, frame_, nullptr, false);
    }
    BitmapRef image_;
    int frame_;
  };
  auto* drawer = new FrameDrawer(rocker, 2);
  f.view->AttachControl(drawer);
  f.view->Draw(Rect{0, 0, 40, 20});
  EXPECT_EQ(f.view->PixelAt(0, 0), gui_images::PositionPixel(56, 0, 31));
  EXPECT_EQ(f.view->PixelAt(39, 19), gui_images::PositionPixel(95, 19, 31));
  // Outside the pass's rectangle nothing is drawn.
  EXPECT_EQ(f.view->PixelAt(40, 0), 0xFF000000u);
  EXPECT_EQ(f.view->PixelAt(0, 20), 0xFF000000u);
}

TEST(EditorView, BlendKindsBecomeTheLibrarysModes) {
  // One half-transparent source pixel (A 128, R 192, G 128, B 64) over a
  // half-transparent background (A 128, R 32, G 64, B 96); each expected
  // word is worked out by hand from the library's pixel rules.
  gui_images::Define(932, 1, 1, [](int, int) { return 0x80C08040u; });
  GuiFixture f(10, 10);
  f.Attach();
  const BitmapRef dot = f.view->LoadBitmap(932, "", 1);
  struct Dot : IControl {
    Dot(BitmapRef image, const Blend* blend)
        : IControl(nullptr, Rect{0, 0, 1, 1}), image_(image), chosen_(blend) {}
    bool Draw(IEditorView& view) override { return view.DrawBitmap(image_, rect_, 0, 0, chosen_); }
    BitmapRef image_;
    const Blend* chosen_;
  };
  const Blend sourceAlphaHalf{Blend::kSourceAlpha, 0.5f};
  const Blend copy{Blend::kCopy, 1.0f};
  const Blend add{Blend::kAdd, 1.0f};
  const Blend dodge{Blend::kDodge, 1.0f};
  const Blend unknownHalf{7, 0.5f};
  const struct {
    const Blend* blend;
    uint32_t expected;
  } cases[] = {
      // No record: source alpha at full weight, d = s + (d - s) * 127 / 256.
      {nullptr, 0xFF71614Fu},
      // Source alpha at weight 0.5: k = 64, d = s + (d - s) * 192 / 256.
      {&sourceAlphaHalf, 0xC0485058u},
      // Plain copy takes the source word, alpha included.
      {&copy, 0x80C08040u},
      // Add with source alpha: k = 129, d + s * 129 / 256.
      {&add, 0xC0808080u},
      // Dodge with source alpha: t = s * 129 / 256, d * 256 / (256 - t).
      {&dodge, 0xAA33556Du},
      // Any other kind composes like kind 0.
      {&unknownHalf, 0xC0485058u},
  };
  for (const auto& c : cases) {
    auto* control = new Dot(dot, c.blend);
    f.view->AttachControl(control);
    f.view->ClearBackBuffer(0x80204060u);
    f.view->Draw(Rect{0, 0, 1, 1});
    EXPECT_EQ(f.view->PixelAt(0, 0), c.expected) << std::hex << c.expected;
    control->SetHidden(true);
  }
}

TEST(EditorView, ResizeDropsEveryControlAndSyncsTheHost) {
  GuiFixture f(100, 100);
  f.view->AttachControl(new IEmpty(&f.plug, 3));
  f.Attach();
  f.view->ResizeEditor(300, 200);
  EXPECT_EQ(f.view->ControlCount(), 0);
  EXPECT_EQ(f.view->Width(), 300);
  EXPECT_EQ(f.plug.LogWith("sync rect").size(), 1u);
  EXPECT_EQ(f.view->FrameRate(), IEditorView::kDefaultFrameRate);
}

}  // namespace
