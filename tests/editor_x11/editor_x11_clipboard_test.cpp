// The X11 editor on the CLIPBOARD selection, with the selection protocol run
// for real on the test's Xvfb: an editor answering another client's requests,
// an editor pasting from a client of the test's own that answers (or not) as
// a table says, two instances copying and pasting between each other.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "gui/clipboard_text.h"

#include "tests/editor_x11/xvfb_display.h"
// after gtest
#include "tests/editor_x11/x11_editor_fixture.h"

namespace editor_test {
namespace {

const ::testing::Environment* const kXvfb = ::testing::AddGlobalTestEnvironment(new XvfbDisplay);

// Text with a character beyond Latin-1 and one within it after it.
const std::string kAccents = "QRV1 c7 12 \xE2\x82\xAC caf\xC3\xA9";

Atom Intern(Display* display, const char* name) { return XInternAtom(display, name, False); }

class X11Clipboard : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = OpenDisplayConnection();
    ASSERT_NE(display_, nullptr) << "no X display";
    client_ = OpenDisplayConnection();
    ASSERT_NE(client_, nullptr);
    clientWindow_ = XCreateSimpleWindow(client_, DefaultRootWindow(client_), 0, 0, 1, 1, 0, 0, 0);
    XSync(client_, False);
    HostLog().clear();
  }
  void TearDown() override {
    if (client_ != nullptr) XCloseDisplay(client_);
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  // The test client asks for CLIPBOARD as `target` while the editor's
  // instance idles; the bytes and type of the answer, or false when refused.
  bool Request(HostedX11Editor& owner, const char* target, std::string* bytes, Atom* type) {
    const Atom property = Intern(client_, "TEST_ANSWER");
    XConvertSelection(client_, Intern(client_, "CLIPBOARD"), Intern(client_, target), property,
                      clientWindow_, CurrentTime);
    XSync(client_, False);
    XEvent notify;
    bool got = false;
    for (int idle = 0; idle < 1000 && !got; ++idle) {
      owner.Idle();
      got = XCheckTypedWindowEvent(client_, clientWindow_, SelectionNotify, &notify);
      if (!got) usleep(2000);
    }
    if (!got) {
      ADD_FAILURE() << "the editor never answered a request for " << target;
      return false;
    }
    if (notify.xselection.property == None) return false;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(client_, clientWindow_, property, 0, 1 << 20, True, AnyPropertyType, type,
                       &format, &count, &after, &data);
    bytes->assign(reinterpret_cast<const char*>(data), count * (format == 32 ? sizeof(long) : 1));
    if (data != nullptr) XFree(data);
    return true;
  }

  Display* display_ = nullptr;
  Display* client_ = nullptr;
  Window clientWindow_ = 0;
};

// What the test client answers for one target: bytes of a type, a refusal
// (no type) or nothing at all (an empty type).
struct Answer {
  const char* type;
  std::string bytes;
};
const Answer kRefuse = {nullptr, ""};

// The test client as CLIPBOARD's owner on a thread of its own, answering
// UTF8_STRING and STRING as given and refusing other targets.
class OwningClient {
 public:
  OwningClient(Answer utf8, Answer string) : utf8_(std::move(utf8)), string_(std::move(string)) {
    display_ = OpenDisplayConnection();
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display_, Intern(display_, "CLIPBOARD"), window_, CurrentTime);
    XSync(display_, False);
    thread_ = std::thread([this] { Serve(); });
  }
  ~OwningClient() {
    running_ = false;
    thread_.join();
    XCloseDisplay(display_);
  }

 private:
  void Serve() {
    XEvent event;
    while (running_) {
      if (!XCheckTypedWindowEvent(display_, window_, SelectionRequest, &event)) {
        usleep(2000);
        continue;
      }
      const XSelectionRequestEvent& request = event.xselectionrequest;
      const Answer& answer = request.target == XA_STRING                         ? string_
                             : request.target == Intern(display_, "UTF8_STRING") ? utf8_
                                                                                 : kRefuse;
      if (answer.type != nullptr && answer.type[0] == 0) continue;
      XEvent reply = {};
      reply.xselection = {SelectionNotify,
                          0,
                          True,
                          display_,
                          request.requestor,
                          request.selection,
                          request.target,
                          answer.type != nullptr ? request.property : None,
                          request.time};
      if (answer.type != nullptr) {
        XChangeProperty(display_, request.requestor, request.property,
                        Intern(display_, answer.type), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(answer.bytes.data()),
                        static_cast<int>(answer.bytes.size()));
      }
      XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
      XFlush(display_);
    }
  }

  Display* display_ = nullptr;
  Window window_ = 0;
  const Answer utf8_, string_;
  std::atomic<bool> running_{true};
  std::thread thread_;
};

TEST_F(X11Clipboard, CopiedTextIsHandedOutForEachTargetAndOtherTargetsAreRefused) {
  HostedX11Editor owner(display_);
  ASSERT_TRUE(owner.Open());
  const std::string text = "QRV1 c7 caf\xC3\xA9";
  ASSERT_TRUE(owner.Editor()->CopyToClipboard(text.c_str()));
  std::string bytes;
  Atom type = None;
  // TARGETS: a list of atoms, the three text targets among them.
  ASSERT_TRUE(Request(owner, "TARGETS", &bytes, &type));
  EXPECT_EQ(type, XA_ATOM);
  const long* offered = reinterpret_cast<const long*>(bytes.data());
  const long* end = offered + bytes.size() / sizeof(long);
  for (const char* name : {"UTF8_STRING", "STRING", "TEXT"}) {
    EXPECT_NE(std::find(offered, end, static_cast<long>(Intern(client_, name))), end) << name;
  }
  struct Row {
    const char* target;
    bool answered;
    const char* type;
    std::string bytes;
  };
  const Row rows[] = {
      {"UTF8_STRING", true, "UTF8_STRING", text},
      {"STRING", true, "STRING", "QRV1 c7 caf\xE9"},  // Latin-1
      {"TEXT", true, "UTF8_STRING", text},            // not ASCII: as UTF-8
      {"image/png", false, "", ""},
  };
  for (const Row& row : rows) {
    bytes.clear();
    EXPECT_EQ(Request(owner, row.target, &bytes, &type), row.answered) << row.target;
    if (!row.answered) continue;
    EXPECT_EQ(type, Intern(client_, row.type)) << row.target;
    EXPECT_EQ(bytes, row.bytes) << row.target;
  }
  // Text beyond Latin-1 has no STRING form: refused, the UTF-8 form stays.
  ASSERT_TRUE(owner.Editor()->CopyToClipboard("\xE2\x82\xAC"));
  EXPECT_FALSE(Request(owner, "STRING", &bytes, &type));
  ASSERT_TRUE(Request(owner, "UTF8_STRING", &bytes, &type));
  EXPECT_EQ(bytes, "\xE2\x82\xAC");
  // A requestor gone before the answer is no harm to the editor.
  Window gone = XCreateSimpleWindow(client_, DefaultRootWindow(client_), 0, 0, 1, 1, 0, 0, 0);
  XConvertSelection(client_, Intern(client_, "CLIPBOARD"), Intern(client_, "UTF8_STRING"),
                    Intern(client_, "TEST_ANSWER"), gone, CurrentTime);
  XDestroyWindow(client_, gone);
  XSync(client_, False);
  owner.Idle();
  EXPECT_TRUE(Request(owner, "UTF8_STRING", &bytes, &type));
  // Another client taking the selection ends ours.
  XSetSelectionOwner(client_, Intern(client_, "CLIPBOARD"), clientWindow_, CurrentTime);
  XSync(client_, False);
  for (int idle = 0; idle < 50 && owner.Editor()->OwnsClipboard(); ++idle) owner.Idle();
  EXPECT_FALSE(owner.Editor()->OwnsClipboard());
  // Copy refuses text too large or not UTF-8.
  EXPECT_TRUE(owner.Editor()->CopyToClipboard(std::string(kMaxClipboardBytes, 'a').c_str()));
  EXPECT_FALSE(owner.Editor()->CopyToClipboard(std::string(kMaxClipboardBytes + 1, 'a').c_str()));
  EXPECT_FALSE(owner.Editor()->CopyToClipboard("caf\xE9"));
}

// The editor pastes from a client of the test's own, over the server.
TEST_F(X11Clipboard, PasteTakesWhatTheOwnerAnswersAndRefusesWhatIsNotText) {
  HostedX11Editor pasting(display_);
  ASSERT_TRUE(pasting.Open());
  const auto utf8 = [](const std::string& bytes) { return Answer{"UTF8_STRING", bytes}; };
  const std::string largest(kMaxClipboardBytes, 'x');
  struct Row {
    Answer utf8, string;
    const char* expected;  // nullptr: refused
  } const rows[] = {
      {utf8(kAccents), kRefuse, kAccents.c_str()},
      {kRefuse, {"STRING", "caf\xE9"}, "caf\xC3\xA9"},  // Latin-1 after UTF-8
      {utf8(largest), kRefuse, largest.c_str()},
      {utf8(largest + "x"), kRefuse, nullptr},
      {utf8("caf\xE9"), kRefuse, nullptr},
      {{"image/gif", "GIF89a"}, kRefuse, nullptr},
      {kRefuse, kRefuse, nullptr},
  };
  for (const Row& row : rows) {
    OwningClient owner(row.utf8, row.string);
    std::string text;
    const bool pasted = pasting.Editor()->PasteFromClipboard(&text);
    EXPECT_EQ(pasted, row.expected != nullptr) << &row - rows;
    if (pasted && row.expected != nullptr) {
      EXPECT_EQ(text, row.expected) << &row - rows;
    }
  }
}

// An owner that never answers: the paste gives up, and input that arrived
// while it waited is still handled afterwards.
TEST_F(X11Clipboard, AnOwnerThatNeverAnswersLeavesTheEditorWorking) {
  HostedX11Editor pasting(display_);
  ASSERT_TRUE(pasting.Open());
  pasting.Tick(2);
  IPlugParam* mix = pasting.Plug()->GetParam(kMix);
  const double before = mix->GetNormalized();
  // The wheel turned up over Mix, sent by another client before the paste
  // and read from the connection while the paste waits.
  XEvent wheel = {};
  const Window window = pasting.Editor()->XWindow();
  wheel.xbutton = {ButtonPress, 0,   True, client_, window, 0,       0,   0,
                   569,         125, 0,    0,       0,      Button4, True};
  XSendEvent(client_, wheel.xbutton.window, False, 0, &wheel);
  XSync(client_, False);
  std::string text = "unchanged";
  {
    OwningClient owner({"", ""}, {"", ""});
    EXPECT_FALSE(pasting.Editor()->PasteFromClipboard(&text));
  }
  EXPECT_EQ(text, "unchanged");
  EXPECT_DOUBLE_EQ(mix->GetNormalized(), before);
  pasting.Idle();
  EXPECT_NEAR(mix->GetNormalized(), before + 0.01, 1e-6);
  pasting.Tick(12);  // the wheel's gesture ends
  EXPECT_EQ(UnbalancedGestures(), "");
}

// Two instances with their editors on one thread, as in one host: the owner
// cannot answer while its thread waits; the text comes from the process's own
// record. The window closing gives the selection up.
TEST_F(X11Clipboard, OneInstanceCopiesAndAnotherPastesOnOneThread) {
  HostedX11Editor copying(display_, 0);
  HostedX11Editor pasting(display_, 700);
  ASSERT_TRUE(copying.Open());
  ASSERT_TRUE(pasting.Open());
  ASSERT_TRUE(copying.Editor()->CopyToClipboard(kAccents.c_str()));
  std::string pasted;
  ASSERT_TRUE(pasting.Editor()->PasteFromClipboard(&pasted));
  EXPECT_EQ(pasted, kAccents);
  EXPECT_TRUE(copying.Editor()->OwnsClipboard());
  copying.Close();
  EXPECT_FALSE(copying.Editor()->OwnsClipboard());
  EXPECT_EQ(XGetSelectionOwner(client_, Intern(client_, "CLIPBOARD")), None);
  EXPECT_FALSE(pasting.Editor()->PasteFromClipboard(&pasted));
}

}  // namespace
}  // namespace editor_test
