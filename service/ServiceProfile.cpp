#include "service/ServiceProfile.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "app/GameProfiles.h"
#include "app/Toolbar.h"
#include "base/AppError.h"
#include "service/AddressList.h"
#include "settings/CAppSettings.h"
#include "settings/CSmartComboBox.h"
#include "support/Text.h"
#include "support/Variant.h"

namespace service {

using support::Variant;

namespace {

constexpr app::StoredField kStatusField{"Status", &app::ServerFields::statusInterval, "1"};
// The window's spin fields take at most this many characters.
constexpr std::size_t kNumberFieldLength = 32;
constexpr std::int64_t kMaxMessageFile = 1 << 20;

settings::CAppSettings storeOf(const app::Profile& profile, platform::IRegistry& registry) {
    settings::CAppSettings store(registry);
    store.Init("Quorlan", profile.appName());
    return store;
}

// The address history as the window keeps it, over a list in memory.
struct History {
    AddressList list;
    settings::CSmartComboBox history;
    explicit History(settings::CAppSettings& store) {
        history.Init(&list, true, false, &store, app::kHistorySection, app::kHistoryCount);
        history.Load();
    }
};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const char* settableField(std::string_view name) {
    for (const char* f : kSettableFields)
        if (sameName(name, f)) return f;
    return nullptr;
}

bool isUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t more = b < 0x80             ? 0
                                 : (b & 0xE0) == 0xC0 ? 1
                                 : (b & 0xF0) == 0xE0 ? 2
                                 : (b & 0xF8) == 0xF0 ? 3
                                                      : 4;
        if (more == 4 || more >= s.size() - i) return false;
        for (std::size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += more;
    }
    return true;
}

// A value as the store keeps it, or nothing when it holds a character the
// 8-bit set lacks (which the Windows program's arguments mark as well).
std::optional<std::string> eightBit(const std::string& text, bool utf8) {
    std::string kept = eightBitOf(text, utf8, app::Profile::kUnkeptCharacter);
    if (kept.find(app::Profile::kUnkeptCharacter) != std::string::npos) return std::nullopt;
    return kept;
}

bool allDigits(std::string_view v) {
    return std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits with at most one decimal point, or nothing: what the window reads
// its number fields as.
bool isNumber(std::string_view v) {
    const std::size_t point = v.find('.');
    if (point == std::string_view::npos) return allDigits(v);
    return v.size() > 1 && allDigits(v.substr(0, point)) && allDigits(v.substr(point + 1));
}

// Why the window would not take the value into the field, or empty.
std::string valueProblem(const std::string& field, const std::string& value) {
    if (field != "Msg" && value.find_first_of("\r\n") != std::string::npos) return field + " takes one line";
    if (field == "IP" && value.empty()) return "IP takes an address";
    if (field == "Game" && value.empty()) return "Game takes a game's name";
    // The port field takes up to six digits; the socket, a port from 1 to 65535.
    if (field == "Port" &&
        (value.empty() || value.size() > 6 || !allDigits(value) || std::stol(value) < 1 || std::stol(value) > 65535))
        return "Port takes a number from 1 to 65535, not '" + value + "'";
    if ((field == "Msg_Timer" || field == "Msg_Delay" || field == "Status") &&
        (value.size() > kNumberFieldLength || !isNumber(value)))
        return field + " takes a number such as 5 or 2.5 (or nothing, as the window's field), not '" + value + "'";
    return {};
}

// A message's lines, ended by LF or CR LF, as the window keeps them: CR LF
// between them, no line end after the last.
std::string messageText(const std::string& text) {
    std::string lines = support::replaceAll(text, "\r\n", "\n");
    if (!lines.empty() && lines.back() == '\n') lines.pop_back();
    return support::replaceAll(lines, "\n", "\r\n");
}

void write(const app::Profile& profile, settings::CAppSettings& store, platform::IFileSystem& files,
           const std::string& field, const std::string& value) {
    if (field == "IP") {
        History h(store);
        h.list.setText(value);
        h.history.AddCurrentItem();
        h.history.Save();
    } else if (field == "Game") {
        // The rest of the layout stays as the window kept it (a layout it
        // could not read, the window itself would replace).
        platform::ToolbarLayout layout = app::firstLayout();
        base::skipOnFailure([&] {
            if (const auto kept = app::readLayout(profile, store, files)) layout = *kept;
        });
        layout.game = value;
        app::writeLayout(profile, layout, store, files);
    } else {
        store.SaveSetting(app::kFieldsSection, field, Variant::String(value));
    }
}

std::string shown(const app::Profile& profile, const ProfileSettings& s) {
    std::string out;
    const auto row = [&](std::string name, const std::string& value) {
        name.resize(11, ' ');
        out += name + value + "\n";
    };
    const app::ServerFields& f = s.fields;
    row("Profile", profile.isDefault() ? "(default)" : profile.name());
    row("IP", f.address);
    row("Port", f.port);
    row("Password", f.password.empty() ? "" : "***");
    const std::vector<std::string> lines = support::splitText(f.message, "\r\n");
    for (std::size_t i = 0; i < lines.size(); ++i) row(i == 0 ? "Msg" : "", lines[i]);
    row("Msg_Timer", f.messageInterval);
    row("Msg_Delay", f.lineDelay);
    row("Game", s.game);
    row("Status", f.statusInterval);
    return out;
}

}  // namespace

ProfileSettings readProfile(const app::Profile& profile, platform::IRegistry& registry, platform::IFileSystem& files) {
    settings::CAppSettings store = storeOf(profile, registry);
    ProfileSettings s;
    std::vector<app::StoredField> stored(std::begin(app::kStoredFields), std::end(app::kStoredFields));
    stored.push_back(kStatusField);
    for (const app::StoredField& f : stored) {
        s.fields.*f.field = f.missing;
        base::skipOnFailure([&] {
            s.fields.*f.field = store.GetSetting(app::kFieldsSection, f.name, Variant::String(f.missing)).toText();
        });
    }
    base::skipOnFailure([&] {
        History h(store);
        s.fields.address = h.list.text();
    });
    s.game = app::kFirstGame;
    base::skipOnFailure([&] {
        if (const auto layout = app::readLayout(profile, store, files)) s.game = layout->game;
    });
    return s;
}

std::string eightBitOf(const std::string& text, bool utf8, char beyond) {
    return utf8 && isUtf8(text) ? support::latin1Of(text, beyond) : text;
}

bool namesSettableField(const std::string& argument) {
    const std::size_t equals = argument.find('=');
    return equals != std::string::npos && settableField(std::string_view(argument).substr(0, equals));
}

app::CommandLineAnswer configure(const app::Profile& profile, const std::vector<std::string>& settings, bool show,
                                 platform::IRegistry& registry, platform::IFileSystem& files, bool utf8) {
    const auto told = [&](int status, const std::string& what) {
        const std::string text = "vexmond-service: " + what + "\n";
        return app::CommandLineAnswer{status, "", utf8 ? support::utf8Of(text) : text};
    };
    std::vector<std::pair<std::string, std::string>> checked;
    for (const std::string& argument : settings) {
        const std::size_t equals = argument.find('=');
        const std::string field = settableField(std::string_view(argument).substr(0, equals));
        std::string value = argument.substr(equals + 1);
        if (field == "Msg" && value.rfind('@', 0) == 0) {
            const auto in = files.openForReading(value.substr(1));
            if (!in) return told(2, "cannot read the message file '" + value.substr(1) + "'");
            if (in->size() > kMaxMessageFile) return told(2, "the message file '" + value.substr(1) + "' is over 1 MB");
            value = in->read(static_cast<std::size_t>(in->size()));
        }
        const std::optional<std::string> text = eightBit(value, utf8);
        if (!text) return told(2, field + " holds a character outside ISO-8859-1, which the server cannot be sent");
        value = field == "Msg" ? messageText(*text) : *text;
        if (const std::string problem = valueProblem(field, value); !problem.empty()) return told(2, problem);
        checked.emplace_back(field, value);
    }
    app::CommandLineAnswer answer;
    try {
        settings::CAppSettings store = storeOf(profile, registry);
        for (const auto& [field, value] : checked) write(profile, store, files, field, value);
    } catch (const std::exception& e) {
        const base::AppError error = base::asAppError(e);
        return told(1, "the profile could not be saved: " + error.description() + " (error " +
                           std::to_string(error.number()) + ")");
    }
    for (const auto& [field, value] : checked)
        if (field == "Game" && !app::findGameProfile(value))
            answer.err += told(0, "'" + value +
                                      "' is no game Vexmond knows: its lines go out as commands of their own, "
                                      "after the verb rcon")
                              .err;
    if (show)
        answer.out = utf8 ? support::utf8Of(shown(profile, readProfile(profile, registry, files)))
                          : shown(profile, readProfile(profile, registry, files));
    return answer;
}

}  // namespace service
