#pragma once

#include <optional>
#include <string>

#include "app/RconSession.h"
#include "platform/Controls.h"
#include "platform/FileSystem.h"

namespace settings {
class CAppSettings;
}

namespace app {

// Where one server's settings are kept. The default profile is the
// program's own sections ("_Vexmond", "IPs") and its layout file, as ever;
// a named profile keeps its fields, address history, game and toolbar
// layout below the program's key, in Profiles\NAME\_Vexmond, Profiles\NAME\IPs
// and Profiles\NAME\Toolbar, so that no two servers share a value.
class Profile {
public:
    // The longest name a profile may have.
    static constexpr std::size_t kMaxNameLength = 64;

    // What a front-end puts in a name, as it turns its arguments into the
    // 8-bit set, for a character that set does not have: two names that
    // differ there would otherwise meet in one profile.
    static constexpr char kUnkeptCharacter = '\x1A';

    // Why a text cannot name a profile (empty, holding "/", "\", "..", "]",
    // a control character or a character the 8-bit set lacks, or too long),
    // or empty when it can.
    static std::string nameProblem(const std::string& name);

    Profile() = default;  // the default profile
    explicit Profile(std::string name);

    bool isDefault() const { return m_name.empty(); }
    const std::string& name() const { return m_name; }
    // The store's application name: the sections lie below it.
    std::string appName() const;
    // The window's caption: "Vexmond", or "Vexmond - NAME".
    std::string caption() const;

private:
    std::string m_name;
};

// The store's section of the window's fields, and that of a named profile's toolbar.
inline constexpr const char* kFieldsSection = "_Vexmond";
inline constexpr const char* kToolbarSection = "Toolbar";

// The address history's section and the most entries it keeps.
inline constexpr const char* kHistorySection = "IPs";
inline constexpr std::int16_t kHistoryCount = 10;

// Appends the separator to a directory that does not end in one; returns it.
std::string& AddBackslash(std::string& path, char separator = '/');

// The toolbar's layout file in the program's own directory.
std::string layoutFilePath(platform::IFileSystem& files);

// The profile's toolbar layout as kept, or nothing when none is (the toolbar
// keeps its own). The default profile's is its layout file, a named one's
// its store; throws for a layout that cannot be read.
std::optional<platform::ToolbarLayout> readLayout(const Profile& profile, settings::CAppSettings& store,
                                                  platform::IFileSystem& files);
// Keeps it; throws on failure, leaving what was kept.
void writeLayout(const Profile& profile, const platform::ToolbarLayout& layout, settings::CAppSettings& store,
                 platform::IFileSystem& files);

}  // namespace app
