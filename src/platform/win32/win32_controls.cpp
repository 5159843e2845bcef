#include "platform/win32/win32_controls.h"

#include "platform/failure.h"
#include "platform/win32/banner_bitmap.h"
#include "platform/win32/gdi_count.h"
#include "platform/win32/input_routing.h"
#include "platform/win32/text_encoding.h"

namespace kv::win32 {
namespace {

constexpr int kDriveListRows = 8;  // entries the drive list shows when it drops down
// What CB_GETITEMHEIGHT and CB_SETITEMHEIGHT measure: the selection field, or the list's rows.
constexpr WPARAM kSelectionField = static_cast<WPARAM>(-1);
constexpr WPARAM kListRows = 0;

struct Kind {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
  bool subclassed;  // mouse handled here rather than by the class
};

Kind kindOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      // Text exactly as given ("&" is a character), one line, cut off at the right edge.
      // SS_NOTIFY makes the label take the mouse instead of passing it to the window below.
      return {L"Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0, true};
    case ControlKind::CheckBox:
      // Not automatic: the program owns the checked state and sets it when clicked.
      return {L"Button", BS_CHECKBOX | WS_TABSTOP, 0, false};
    case ControlKind::Button:
      // Subclassed so that it never becomes the default button: see buttonProcedure.
      return {L"Button", BS_PUSHBUTTON | WS_TABSTOP, 0, true};
    case ControlKind::Frame:
      return {L"Button", BS_GROUPBOX, 0, false};
    case ControlKind::Picture:
      // Takes the tab key, first in a window's order: a key pressed as the window opens does nothing.
      return {L"Static", SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY | WS_TABSTOP, 0, true};
    case ControlKind::TextBox:
      // The about text is taller than its box in most fonts: the rest is a scroll away.
      return {L"Edit", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE, true};
    case ControlKind::DriveList:
      return {L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, false};
  }
  return {L"Static", 0, 0, false};
}

// Position of a control in the window's client area: inside a frame it is relative to the frame.
Rect placeInWindow(const NativeWindow& window, const ControlLayout& layout) {
  Rect place = layout.rect;
  if (layout.parent != 0) {
    for (const ControlLayout& frame : window.layout.controls) {
      if (frame.id == layout.parent) {
        place.left += frame.rect.left;
        place.top += frame.rect.top;
        break;
      }
    }
  }
  return place;
}

// Enter and Esc must not press any button. The dialog manager presses the default button on
// Enter, and makes the focused button the default when the focus moves to it; a button that
// never calls itself the default takes no part in that.
LRESULT buttonProcedure(WNDPROC original, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == BM_SETSTYLE && (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
    wParam = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_PUSHBUTTON;
  LRESULT result = CallWindowProcW(original, hwnd, message, wParam, lParam);
  if (message == WM_GETDLGCODE && (result & DLGC_DEFPUSHBUTTON))
    result = (result & ~static_cast<LRESULT>(DLGC_DEFPUSHBUTTON)) | DLGC_UNDEFPUSHBUTTON;
  return result;
}

LRESULT CALLBACK controlProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!control) return DefWindowProcW(hwnd, message, wParam, lParam);
  const WNDPROC original = control->original;

  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
  }
  if (control->layout.kind == ControlKind::Button) return buttonProcedure(original, hwnd, message, wParam, lParam);

  const bool edit = control->layout.kind == ControlKind::TextBox;
  // The text box's own menu would come between a right-button release and the program.
  if (edit && message == WM_CONTEXTMENU) return 0;

  Pointer phase;
  MouseButton button;
  std::shared_ptr<NativeWindow> window = control->window->weak_from_this().lock();
  if (!window || !classifyPointer(message, phase, button))
    return CallWindowProcW(original, hwnd, message, wParam, lParam);

  // A text box still places its caret and selects with the left button and the moves.
  if (edit && (phase == Pointer::Move || button == MouseButton::Left))
    CallWindowProcW(original, hwnd, message, wParam, lParam);
  pointerEvent(*window, hwnd, control->layout.id, control->layout.forwardsMouse, phase, button, lParam);
  return 0;  // the control may be gone now
}

void subclass(Control& control) {
  SetWindowLongPtrW(control.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
  control.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&controlProcedure)));
}

// A drop-down list is created with the height of its open list; its closed height follows
// from the height of its selection field, which is set so that the closed list has the
// height its description gives.
void fitDriveList(const Control& control, int left, int top, int width, int height) {
  RECT closed;
  GetWindowRect(control.hwnd, &closed);
  const int field = static_cast<int>(SendMessageW(control.hwnd, CB_GETITEMHEIGHT, kSelectionField, 0));
  const int border = (closed.bottom - closed.top) - field;
  if (field > 0 && height - border > 0 && height - border != field)
    SendMessageW(control.hwnd, CB_SETITEMHEIGHT, kSelectionField, height - border);
  const int row = static_cast<int>(SendMessageW(control.hwnd, CB_GETITEMHEIGHT, kListRows, 0));
  SetWindowPos(control.hwnd, nullptr, left, top, width, height + kDriveListRows * (row > 0 ? row : field),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The control's place in the window's client area, in pixels.
struct PixelPlace {
  int left, top, width, height;
};
PixelPlace pixelPlace(const NativeWindow& window, const ControlLayout& layout) {
  const DpiScale& scale = window.scale;
  const Rect place = placeInWindow(window, layout);
  return {scale.pixels(place.left), scale.pixels(place.top), scale.pixels(place.width), scale.pixels(place.height)};
}

// The control's font and picture, made for the window's DPI.
void dress(NativeWindow& window, Control& control) {
  const ControlLayout& layout = control.layout;
  SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(window.paint.font(layout.font, window.scale)), FALSE);
  if (layout.kind != ControlKind::Picture) return;
  if (HBITMAP banner = drawBanner(layout.image, window.scale)) {
    window.paint.keepBitmap(banner);
    SendMessageW(control.hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner));
  }
}

void create(NativeWindow& window, Control& control, HINSTANCE module) {
  const ControlLayout& layout = control.layout;
  const Kind kind = kindOf(layout.kind);
  // Placed again, the drive list fitted too, as the window is laid out once all controls exist.
  const PixelPlace at = pixelPlace(window, layout);

  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style;
  if (layout.visible) style |= WS_VISIBLE;
  // A picture's text would be read as the name of a bitmap resource; it gets its text later.
  const std::wstring text = fromAnsi(layout.text);
  const bool textNow = layout.kind != ControlKind::Picture;
  control.hwnd = CreateWindowExW(kind.exStyle, kind.className, textNow ? text.c_str() : L"", style, at.left, at.top,
                                 at.width, at.height, window.hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), module, nullptr);
  if (!control.hwnd) throw Failure("The control " + layout.name + " could not be created.");

  dress(window, control);
  if (!textNow && !text.empty()) SetWindowTextW(control.hwnd, text.c_str());
  if (kind.subclassed) subclass(control);
}

void placeControls(NativeWindow& window) {
  for (Control& control : window.controls) {
    const PixelPlace at = pixelPlace(window, control.layout);
    if (control.layout.kind == ControlKind::DriveList)
      fitDriveList(control, at.left, at.top, at.width, at.height);
    else
      SetWindowPos(control.hwnd, nullptr, at.left, at.top, at.width, at.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

void preparePaint(NativeWindow& window) {
  window.back = window.paint.brush(window.layout.back);
  window.controls.reserve(window.layout.controls.size());
  for (const ControlLayout& layout : window.layout.controls) {
    Control control;
    control.layout = layout;
    control.window = &window;
    control.back = window.paint.brush(layout.transparentBack ? window.layout.back : layout.back);
    window.controls.push_back(control);
  }
}

void createControls(NativeWindow& window, HINSTANCE module) {
  for (Control& control : window.controls) create(window, control, module);
  // Frames go to the bottom of the order so that they never paint over the controls they
  // hold; every control clips its siblings. Only tab stops matter for the tab order, and
  // frames are none.
  for (Control& control : window.controls)
    if (control.layout.kind == ControlKind::Frame)
      SetWindowPos(control.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void layOut(NativeWindow& window) {
  // The frame first, so that no control is placed beyond the client area it had; twice, as a
  // menu bar may wrap onto another line at the new width.
  const int width = window.scale.pixels(window.layout.clientWidth);
  const int height = window.scale.pixels(window.layout.clientHeight);
  for (int pass = 0; pass < 2; ++pass) {
    RECT outer, client;
    GetWindowRect(window.hwnd, &outer);
    GetClientRect(window.hwnd, &client);
    if (client.right == width && client.bottom == height) break;
    SetWindowPos(window.hwnd, nullptr, 0, 0, outer.right - outer.left + width - client.right,
                 outer.bottom - outer.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  placeControls(window);
}

void rescale(NativeWindow& window) {
  const std::vector<HGDIOBJ> former = window.paint.takeScaled();
  for (Control& control : window.controls) dress(window, control);
  for (HGDIOBJ object : former) deleteCounted(object);  // no control holds them now
  layOut(window);
  RedrawWindow(window.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace kv::win32
