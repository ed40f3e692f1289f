#include "app/Profile.h"

#include <algorithm>
#include <stdexcept>

#include "app/Toolbar.h"
#include "settings/CAppSettings.h"
#include "support/CFile.h"
#include "support/Text.h"
#include "support/Variant.h"

namespace app {

namespace {
constexpr const char* kAppName = "_Vexmond";
}

std::string Profile::nameProblem(const std::string& name) {
    if (name.empty()) return "a profile needs a name";
    if (name.size() > kMaxNameLength)
        return "a profile's name has at most " + std::to_string(kMaxNameLength) + " characters";
    if (name.find_first_of("/\\") != std::string::npos) return "a profile's name may not hold / or \\";
    if (name.find("..") != std::string::npos) return "a profile's name may not hold ..";
    // The settings file's key line ends at a "]" that a comment follows.
    if (name.find(']') != std::string::npos) return "a profile's name may not hold ]";
    if (name.find(kUnkeptCharacter) != std::string::npos)
        return "a profile's name may only hold characters of the settings' 8-bit character set (ISO-8859-1; on "
               "Windows the ANSI code page)";
    if (std::any_of(name.begin(), name.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte == 0x7F;
        }))
        return "a profile's name may not hold a control character";
    return {};
}

Profile::Profile(std::string name) : m_name(std::move(name)) {}

std::string Profile::appName() const {
    return isDefault() ? kAppName : std::string(kAppName) + "\\Profiles\\" + m_name;
}

std::string Profile::caption() const { return isDefault() ? "Vexmond" : "Vexmond - " + m_name; }

std::string& AddBackslash(std::string& path, char separator) {
    if (path.empty() || path.back() != separator) path += separator;
    return path;
}

std::string layoutFilePath(platform::IFileSystem& files) {
    std::string directory = files.programDirectory();
    return AddBackslash(directory, files.separator()) + "ATBconfig.atb";
}

namespace {

constexpr const char* kMissing = "\x01";  // no value of that name

std::string joined(const std::vector<std::string>& ids) {
    std::string out;
    for (const std::string& id : ids) out += (out.empty() ? "" : ",") + id;
    return out;
}

}  // namespace

std::optional<platform::ToolbarLayout> readLayout(const Profile& profile, settings::CAppSettings& store,
                                                  platform::IFileSystem& files) {
    if (profile.isDefault()) {
        const std::string path = layoutFilePath(files);
        support::CFile file(files);
        file.Init(path);
        if (!file.Exists()) return std::nullopt;
        const auto in = files.openForReading(path);
        if (!in) throw std::runtime_error("cannot read the toolbar layout");
        return layoutOfText(in->read(static_cast<std::size_t>(std::min<std::int64_t>(in->size(), 1 << 20))));
    }
    const auto value = [&](const char* section, const char* name) {
        return store.GetSetting(section, name, support::Variant::String(kMissing)).toText();
    };
    const std::string row = value(kToolbarSection, "Row");
    if (row == kMissing) return std::nullopt;
    platform::ToolbarLayout layout = firstLayout();
    layout.row = row.empty() ? std::vector<std::string>{} : support::splitText(row, ",");
    if (const std::string game = value(kFieldsSection, "Game"); game != kMissing) layout.game = game;
    if (const std::string place = value(kToolbarSection, "Place"); place != kMissing) layout.place = place;
    layout.consoleColours = value(kToolbarSection, "Colours") == "1";
    return layout;
}

void writeLayout(const Profile& profile, const platform::ToolbarLayout& layout, settings::CAppSettings& store,
                 platform::IFileSystem& files) {
    if (profile.isDefault()) {
        if (!files.replaceFile(layoutFilePath(files), layoutText(layout)))
            throw std::runtime_error("cannot write the toolbar layout");
        return;
    }
    store.SaveSetting(kFieldsSection, "Game", support::Variant::String(layout.game));
    store.SaveSetting(kToolbarSection, "Row", support::Variant::String(joined(layout.row)));
    store.SaveSetting(kToolbarSection, "Place", support::Variant::String(layout.place));
    store.SaveSetting(kToolbarSection, "Colours", support::Variant::String(layout.consoleColours ? "1" : "0"));
}

}  // namespace app
