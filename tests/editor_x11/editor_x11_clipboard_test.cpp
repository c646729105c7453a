// The X11 editor on the CLIPBOARD selection, with the selection protocol run
// for real on the test's Xvfb: an editor answering another client's requests,
// an editor pasting from a client of the test's own that answers (or not) as
// a table says, two instances copying and pasting between each other.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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
    EXPECT_EQ(notify.xselection.property, property);
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(client_, clientWindow_, property, 0, 1 << 20, True, AnyPropertyType, type,
                       &format, &count, &after, &data);
    const size_t unit = format == 32 ? sizeof(long) : format == 16 ? 2 : 1;
    bytes->assign(reinterpret_cast<const char*>(data), count * unit);
    if (data != nullptr) XFree(data);
    return true;
  }

  Display* display_ = nullptr;
  Display* client_ = nullptr;
  Window clientWindow_ = 0;
};

// What the test client does with a request for one target: answer with a
// type and bytes, refuse, or say nothing.
struct Answer {
  enum Kind { kBytes, kRefuse, kSilent } kind;
  const char* type;
  std::string bytes;
};

// The test client as CLIPBOARD's owner on a thread of its own, answering each
// request as `answerFor` says; `onRequest` runs first, on that thread.
class OwningClient {
 public:
  OwningClient(std::function<Answer(const std::string& target)> answerFor,
               std::function<void()> onRequest = {})
      : answerFor_(std::move(answerFor)), onRequest_(std::move(onRequest)) {
    display_ = OpenDisplayConnection();
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display_, Intern(display_, "CLIPBOARD"), window_, CurrentTime);
    XSync(display_, False);
    thread_ = std::thread([this] { Serve(); });
  }
  ~OwningClient() {
    Stop();
    XCloseDisplay(display_);
  }
  // Ends the serving thread; answers the targets asked for, in order.
  std::vector<std::string> Stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
    return targets_;
  }

 private:
  void Serve() {
    while (running_) {
      XEvent event;
      if (!XCheckTypedWindowEvent(display_, window_, SelectionRequest, &event)) {
        pollfd connection = {ConnectionNumber(display_), POLLIN, 0};
        poll(&connection, 1, 10);
        continue;
      }
      const XSelectionRequestEvent& request = event.xselectionrequest;
      char* name = XGetAtomName(display_, request.target);
      const std::string target = name;
      XFree(name);
      targets_.push_back(target);
      if (onRequest_) onRequest_();
      const Answer answer = answerFor_(target);
      if (answer.kind == Answer::kSilent) continue;
      XEvent reply = {};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = request.requestor;
      reply.xselection.selection = request.selection;
      reply.xselection.target = request.target;
      reply.xselection.time = request.time;
      reply.xselection.property = answer.kind == Answer::kRefuse ? None : request.property;
      if (answer.kind == Answer::kBytes) {
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
  std::function<Answer(const std::string&)> answerFor_;
  std::function<void()> onRequest_;
  std::atomic<bool> running_{true};
  std::vector<std::string> targets_;
  std::thread thread_;
};

TEST_F(X11Clipboard, CopiedTextIsHandedOutForEachTargetAndOtherTargetsAreRefused) {
  HostedX11Editor owner(display_);
  ASSERT_TRUE(owner.Open());
  const std::string text = "QRV1 c7 caf\xC3\xA9";
  ASSERT_TRUE(owner.Editor()->CopyToClipboard(text.c_str()));
  EXPECT_EQ(XGetSelectionOwner(client_, Intern(client_, "CLIPBOARD")), owner.Editor()->XWindow());
  std::string bytes;
  Atom type = None;
  // TARGETS: a list of atoms, the three text targets among them.
  ASSERT_TRUE(Request(owner, "TARGETS", &bytes, &type));
  EXPECT_EQ(type, XA_ATOM);
  std::vector<Atom> offered(bytes.size() / sizeof(long));
  for (size_t i = 0; i < offered.size(); ++i) {
    offered[i] = static_cast<Atom>(reinterpret_cast<const long*>(bytes.data())[i]);
  }
  for (const char* name : {"UTF8_STRING", "STRING", "TEXT"}) {
    EXPECT_NE(std::find(offered.begin(), offered.end(), Intern(client_, name)), offered.end())
        << name;
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
  ASSERT_TRUE(Request(owner, "UTF8_STRING", &bytes, &type));
  EXPECT_EQ(bytes, "\xE2\x82\xAC");
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
  const Answer refuse = {Answer::kRefuse, "", ""};
  const auto utf8 = [](const std::string& bytes) {
    return Answer{Answer::kBytes, "UTF8_STRING", bytes};
  };
  const std::string largest(kMaxClipboardBytes, 'x');
  struct Row {
    Answer utf8, string;
    const char* expected;  // nullptr: refused
  } const rows[] = {
      {utf8(kAccents), refuse, kAccents.c_str()},
      {refuse, {Answer::kBytes, "STRING", "caf\xE9"}, "caf\xC3\xA9"},  // Latin-1 after UTF-8
      {utf8(largest), refuse, largest.c_str()},
      {utf8(largest + "x"), refuse, nullptr},
      {utf8("caf\xE9"), refuse, nullptr},
      {{Answer::kBytes, "image/gif", "GIF89a"}, refuse, nullptr},
      {refuse, refuse, nullptr},
  };
  for (const Row& row : rows) {
    OwningClient owner([&](const std::string& target) {
      return target == "UTF8_STRING" ? row.utf8 : target == "STRING" ? row.string : refuse;
    });
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
  const Window editorWindow = pasting.Editor()->XWindow();
  // The wheel turned up over Mix, sent by the owner while the paste waits.
  Display* sender = OpenDisplayConnection();
  ASSERT_NE(sender, nullptr);
  std::string text = "unchanged";
  {
    OwningClient owner(
        [](const std::string&) {
          return Answer{Answer::kSilent, "", ""};
        },
        [&] {
          XEvent wheel = {};
          wheel.xbutton.type = ButtonPress;
          wheel.xbutton.window = editorWindow;
          wheel.xbutton.button = Button4;
          wheel.xbutton.x = 569;
          wheel.xbutton.y = 125;
          wheel.xbutton.same_screen = True;
          XSendEvent(sender, editorWindow, False, 0, &wheel);
          XFlush(sender);
        });
    EXPECT_FALSE(pasting.Editor()->PasteFromClipboard(&text));
    EXPECT_EQ(owner.Stop(), std::vector<std::string>{"UTF8_STRING"});  // asked once
  }
  XSync(sender, False);
  XCloseDisplay(sender);
  EXPECT_EQ(text, "unchanged");
  EXPECT_DOUBLE_EQ(mix->GetNormalized(), before);
  pasting.Idle();
  EXPECT_NEAR(mix->GetNormalized(), before + 0.01, 1e-6);
  pasting.Tick(12);  // the wheel's gesture ends
  EXPECT_EQ(UnbalancedGestures(), "");
}

// Two instances: their editors on one thread (as in one host) and on two.
TEST_F(X11Clipboard, OneInstanceCopiesAndAnotherPastesOnOneThreadAndOnTwo) {
  HostedX11Editor copying(display_, 0);
  HostedX11Editor pasting(display_, 700);
  ASSERT_TRUE(copying.Open());
  ASSERT_TRUE(pasting.Open());
  const std::string& text = kAccents;
  // One thread: the owner cannot answer while its thread waits; the text
  // comes from the process's own record.
  ASSERT_TRUE(copying.Editor()->CopyToClipboard(text.c_str()));
  std::string pasted;
  ASSERT_TRUE(pasting.Editor()->PasteFromClipboard(&pasted));
  EXPECT_EQ(pasted, text);
  // Two threads: the copying editor copies and idles on a thread of its own
  // and answers through the server.
  const std::string second = text + " 2";
  std::atomic<int> stage{0};
  std::thread owner([&] {
    stage = copying.Editor()->CopyToClipboard(second.c_str()) ? 1 : -1;
    while (stage == 1) copying.Idle();
  });
  while (stage == 0) std::this_thread::yield();
  pasted.clear();
  const bool took = pasting.Editor()->PasteFromClipboard(&pasted);
  stage = 2;
  owner.join();
  ASSERT_TRUE(took);
  EXPECT_EQ(pasted, second);
  // The window closing gives the selection up; nothing is left to paste.
  EXPECT_TRUE(copying.Editor()->OwnsClipboard());
  copying.Close();
  EXPECT_FALSE(copying.Editor()->OwnsClipboard());
  EXPECT_EQ(XGetSelectionOwner(client_, Intern(client_, "CLIPBOARD")), None);
  EXPECT_FALSE(pasting.Editor()->PasteFromClipboard(&pasted));
}

}  // namespace
}  // namespace editor_test
