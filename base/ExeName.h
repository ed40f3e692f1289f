#pragma once

// The program's executable name without extension. It opens the source text
// of every error the support classes raise and names the error log.
namespace base {
inline constexpr const char* kExeName = "vexmond";
}
