#pragma once
// One top-level window of the program as the system holds it: its description, its controls, the
// fonts and brushes it paints with, and the procedure that turns messages into events.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/dpi_scale.h"
#include "platform/win32/entry_rule.h"
#include "platform/win32/paint_set.h"
#include "platform/win32/win32_api.h"
#include "platform/window_events.h"
#include "platform/window_layout.h"

namespace kv::win32 {

struct NativeWindow;

// The one timer a window of the program runs: the drive window's refresh.
constexpr UINT_PTR kRefreshTimer = 1;

// What a window needs from the desktop that made it.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // Runs one handler of the program inside the failure boundary.
  virtual void runEntry(const std::function<void()>& handler, UnderBox) = 0;
  // The window has just been activated; the host tells its events.
  virtual void windowActivated(NativeWindow&) = 0;
  // The system window is gone; the host forgets it.
  virtual void windowGone(NativeWindow&) = 0;
};

struct Control {
  ControlLayout layout;
  NativeWindow* window = nullptr;
  HWND hwnd = nullptr;
  WNDPROC original = nullptr;  // the class's own procedure when the control is subclassed
  HBRUSH back = nullptr;       // owned by the window's paint set
};

struct NativeWindow : std::enable_shared_from_this<NativeWindow> {
  NativeWindow(const WindowLayout& layout, WindowEvents& events, WindowHost& host, DpiScale scale)
      : layout(layout), events(events), host(host), scale(scale) {}
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;
  ~NativeWindow();

  WindowLayout layout;  // as made, and as laid out anew since
  WindowEvents& events;
  WindowHost& host;
  HWND hwnd = nullptr;
  DpiScale scale;          // the window's DPI: the system's until it exists, then the monitor's it is on
  bool destroyed = false;  // set when destruction begins: no events from then on

  PaintSet paint;
  HBRUSH back = nullptr;
  HACCEL accelerators = nullptr;
  std::set<int> menuCommands;     // ids of the menu bar's entries
  std::vector<Control> controls;  // filled once, before the controls are created; never resized
  HWND savedFocus = nullptr;      // the control that had the focus when the window was deactivated

  Control* control(int id);
  Control* control(HWND);
  // Runs a handler of the program for this window; false when the window is (now) destroyed.
  bool deliver(const std::function<void(WindowEvents&)>&, UnderBox = UnderBox::Dropped);
  void releaseResources();
};

}  // namespace kv::win32
