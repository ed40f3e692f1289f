#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Profile.h"
#include "app/RconSession.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace service {

// A profile's settings as the service runs them: the window's fields, the
// address history's first entry for the server's address (what the window's
// address box shows at start), a value "Status" for the status interval
// (the window keeps none; without it 1, its field's first value), and the
// game (its toolbar's, else the window's first game). What cannot be read
// reads as missing.
struct ProfileSettings {
    app::ServerFields fields;
    std::string game;
};
ProfileSettings readProfile(const app::Profile& profile, platform::IRegistry& registry, platform::IFileSystem& files);

// Why the profile cannot be run or shown: a named profile whose sections in
// the store hold no value is none. Empty when it can.
std::string missingProfile(const app::Profile& profile, platform::IRegistry& registry);

// Text from outside as the store keeps it: UTF-8, where the system speaks
// it, becomes ISO-8859-1, a character beyond it `beyond`; other bytes are
// taken as the 8-bit text they already are.
std::string eightBitOf(const std::string& text, bool utf8, char beyond);

// Whether an argument of --set names a field of the form or the game (in
// any case, as the store compares names) before its "=".
bool namesSettableField(const std::string& argument);

// --set FIELD=VALUE ... then --show, as the command line asks. Every value
// is checked before anything is written: a value the form's field would not
// take, or that Start could not run with, answers 2 and writes nothing; a
// store that cannot be written answers 1.
// Where the system's text is UTF-8 (utf8), the values and the message files
// are read from it and the answer written in it.
app::CommandLineAnswer configure(const app::Profile& profile, const std::vector<std::string>& settings, bool show,
                                 platform::IRegistry& registry, platform::IFileSystem& files, bool utf8);

}  // namespace service
