#pragma once

#include <string>
#include <vector>

namespace platform::win {

// The program's arguments after its name, from the command line as it was
// typed (in UTF-16), in the ANSI code page of every text. A character the
// code page lacks becomes `unkept`, not a look-alike or "?" that another
// argument might hold.
std::vector<std::string> ansiArguments(char unkept);

}  // namespace platform::win
