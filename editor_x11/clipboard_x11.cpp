// The editor's side of X's CLIPBOARD selection. Copying makes the editor's
// window the selection's owner and keeps the text, which it hands out on
// request (TARGETS, UTF8_STRING, STRING, TEXT) until another client takes the
// selection or the window closes. Pasting asks the owner for UTF8_STRING (then
// STRING) into a property of the editor's window and waits a bounded time for
// the answer; other events arriving meanwhile stay queued for the handler.
#include <poll.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "editor_x11/clipboard_owners.h"
#include "editor_x11/editor_window_x11.h"
#include "editor_x11/x11_headers.h"
#include "engine/millisecond_clock.h"
#include "gui/clipboard_text.h"

namespace {

// Where the owner's answer is written on the editor's window.
constexpr char kPasteProperty[] = "QUORVEL_PASTE";

Atom Intern(Display* display, const char* name) { return XInternAtom(display, name, False); }

bool IsAscii(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

bool XEditorWindow::CopyToClipboard(const char* text) {
  if (display_ == nullptr || text == nullptr) return false;
  const size_t length = std::strlen(text);
  if (length > kMaxClipboardBytes || !IsValidUtf8(text, length)) return false;
  const Atom clipboard = Intern(display_, "CLIPBOARD");
  XSetSelectionOwner(display_, clipboard, window_, CurrentTime);
  if (XGetSelectionOwner(display_, clipboard) != window_) return false;
  clipboardText_.assign(text, length);
  ownsClipboard_ = true;
  RecordClipboardOwner(DisplayString(display_), window_, clipboardText_);
  return true;
}

void XEditorWindow::AnswerSelectionRequest(const XEvent& requestEvent) {
  const XSelectionRequestEvent& request = requestEvent.xselectionrequest;
  const Atom targets = Intern(display_, "TARGETS");
  const Atom utf8 = Intern(display_, "UTF8_STRING");
  const Atom textTarget = Intern(display_, "TEXT");
  // Clients from before the property was required name none: the target is
  // the property then.
  const Atom property = request.property != None ? request.property : request.target;
  bool answered = false;
  // The requestor may be gone by now: the errors that brings are not fatal
  // here (Xlib's default handler would end the host), so they are ignored
  // until the answer has been through the server.
  XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  if (ownsClipboard_ && request.selection == Intern(display_, "CLIPBOARD")) {
    std::string latin1;
    if (request.target == targets) {
      const Atom offered[] = {targets, utf8, XA_STRING, textTarget};
      XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 4);
      answered = true;
    } else if (request.target == utf8 ||
               (request.target == textTarget && !IsAscii(clipboardText_))) {
      XChangeProperty(display_, request.requestor, property, utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(clipboardText_.data()),
                      static_cast<int>(clipboardText_.size()));
      answered = true;
    } else if ((request.target == XA_STRING || request.target == textTarget) &&
               Utf8ToLatin1(clipboardText_, &latin1)) {
      XChangeProperty(display_, request.requestor, property, XA_STRING, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(latin1.data()),
                      static_cast<int>(latin1.size()));
      answered = true;
    }
    // MULTIPLE and every other target are refused.
  }
  XEvent reply = {};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = display_;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.property = answered ? property : None;
  reply.xselection.time = request.time;
  XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
  XSync(display_, False);
  XSetErrorHandler(previous);
}

void XEditorWindow::DropClipboard() {
  if (!ownsClipboard_) return;
  ownsClipboard_ = false;
  clipboardText_.clear();
  ForgetClipboardOwner(DisplayString(display_), window_);
}

void XEditorWindow::GiveUpClipboard() {
  if (!ownsClipboard_) return;
  const Atom clipboard = Intern(display_, "CLIPBOARD");
  if (XGetSelectionOwner(display_, clipboard) == window_) {
    XSetSelectionOwner(display_, clipboard, None, CurrentTime);
  }
  DropClipboard();
}

bool XEditorWindow::PasteFromClipboard(std::string* text) {
  if (display_ == nullptr || text == nullptr) return false;
  const Window owner = XGetSelectionOwner(display_, Intern(display_, "CLIPBOARD"));
  if (owner == None) return false;
  if (FindOwnedTextOnThisThread(DisplayString(display_), owner, text)) return true;
  // An owner that does not answer is not asked twice.
  bool answered = false;
  if (ConvertClipboard(Intern(display_, "UTF8_STRING"), text, &answered)) return true;
  return answered && ConvertClipboard(XA_STRING, text, &answered);
}

bool XEditorWindow::WaitForSelectionNotify(XEvent* answer) {
  const int64_t deadline = MillisecondClock() + kPasteWaitMs;
  for (;;) {
    // Takes the answer alone: the events before and after it stay queued.
    if (XCheckTypedWindowEvent(display_, window_, SelectionNotify, answer)) return true;
    const int64_t left = deadline - MillisecondClock();
    if (left <= 0) return false;
    pollfd connection = {ConnectionNumber(display_), POLLIN, 0};
    if (poll(&connection, 1, static_cast<int>(left)) < 0 && errno != EINTR) return false;
  }
}

bool XEditorWindow::ConvertClipboard(unsigned long target, std::string* text, bool* answered) {
  const Atom clipboard = Intern(display_, "CLIPBOARD");
  const Atom property = Intern(display_, kPasteProperty);
  // Answers to earlier requests that came too late are not this one's.
  XEvent stale;
  while (XCheckTypedWindowEvent(display_, window_, SelectionNotify, &stale)) {
  }
  XDeleteProperty(display_, window_, property);
  XConvertSelection(display_, clipboard, target, property, window_, CurrentTime);
  XFlush(display_);
  XEvent answer;
  *answered = WaitForSelectionNotify(&answer);
  if (!*answered) return false;
  if (answer.xselection.property == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  // One 32-bit unit more than the limit, so that a larger text shows.
  const long units = static_cast<long>(kMaxClipboardBytes / 4 + 1);
  const int status = XGetWindowProperty(display_, window_, property, 0, units, False,
                                        AnyPropertyType, &type, &format, &count, &after, &data);
  XDeleteProperty(display_, window_, property);
  XFlush(display_);
  if (status != Success) return false;
  // A transfer in parts (INCR) is refused: no pattern needs one.
  const bool whole = format == 8 && after == 0 && count <= kMaxClipboardBytes;
  const char* bytes = reinterpret_cast<const char*>(data);
  bool taken = false;
  if (whole && type == Intern(display_, "UTF8_STRING") && IsValidUtf8(bytes, count)) {
    text->assign(bytes, count);
    taken = true;
  } else if (whole && type == XA_STRING) {
    *text = Latin1ToUtf8(bytes, count);
    taken = text->size() <= kMaxClipboardBytes;
  }
  if (data != nullptr) XFree(data);
  return taken;
}
