#pragma once
// The face a layout's font is drawn in. The layouts name "MS Sans Serif", a bitmap face whose
// letters keep their pixel size at any DPI; its TrueType sibling of the same design, "Microsoft
// Sans Serif", scales, and is drawn instead wherever the system has it. Where it has not (Wine's
// own fonts, a stripped-down Windows), the bitmap face is kept at 96 DPI, where it looks as it
// was made to, and above it the system's own scalable face for messages is drawn.
#include <string>

namespace kv::win32 {

std::wstring drawnFace(const std::string& layoutFace, int dpi);

}  // namespace kv::win32
