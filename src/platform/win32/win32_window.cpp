#include "platform/win32/win32_window.h"

namespace kv::win32 {

NativeWindow::~NativeWindow() {
  releaseResources();
}

Control* NativeWindow::control(int id) {
  for (Control& c : controls)
    if (c.layout.id == id) return &c;
  return nullptr;
}

Control* NativeWindow::control(HWND child) {
  if (!child) return nullptr;
  for (Control& c : controls)
    if (c.hwnd == child) return &c;
  return nullptr;
}

bool NativeWindow::deliver(const std::function<void(WindowEvents&)>& handler, UnderBox underBox) {
  std::shared_ptr<NativeWindow> keep = weak_from_this().lock();  // the handler may destroy the window
  if (destroyed || !keep) return false;
  host.runEntry([&] { handler(events); }, underBox);
  return !destroyed;
}

void NativeWindow::releaseResources() {
  paint.release();
  if (accelerators) DestroyAcceleratorTable(accelerators);
  accelerators = nullptr;
}

}  // namespace kv::win32
