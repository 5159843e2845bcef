#pragma once
// The face a layout's font is drawn in. The layouts name "MS Sans Serif", a bitmap face whose
// letters keep their pixel size at any DPI; its TrueType sibling of the same design, "Microsoft
// Sans Serif", scales, and is drawn instead wherever the system has it.
#include <string>

namespace kv::win32 {

std::wstring drawnFace(const std::string& layoutFace);

}  // namespace kv::win32
