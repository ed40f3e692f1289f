#include "service/ServiceProfile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "app/FormFields.h"
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

// The game is the toolbar's, not a field of the form; --set takes it beside them.
constexpr const char* kGame = "Game";

// The name of a field --set takes, as the form spells it, or nullptr: names
// compare in any case, as the store compares them.
const char* settableField(std::string_view name) {
    if (const app::FormField* f = app::findFormField(name)) return f->name;
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    const std::string_view game = kGame;
    const bool isGame = name.size() == game.size() && std::equal(name.begin(), name.end(), game.begin(),
                                                                 [&](char x, char y) { return lower(x) == lower(y); });
    return isGame ? kGame : nullptr;
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

// Why the value cannot be set, or empty: what the window's field would not
// take (the form's one rule for each field), and what Start could not run
// with (no address, a port no socket opens).
std::string valueProblem(const std::string& name, const std::string& value) {
    const app::FormField* field = app::findFormField(name);
    if (!field) {
        if (value.find_first_of("\r\n") != std::string::npos) return name + " takes one line";
        return value.empty() ? name + " takes a game's name" : std::string();
    }
    const bool taken = app::acceptsText(*field, value);
    switch (field->rule) {
    case app::FieldRule::lines: break;
    case app::FieldRule::line:
        if (!taken) return name + " takes one line";
        if (field->store == app::FieldStore::history && value.empty()) return name + " takes an address";
        break;
    case app::FieldRule::portDigits:
        if (!taken || value.empty() || std::stol(value) < 1 || std::stol(value) > 65535)
            return name + " takes a number from 1 to 65535, not '" + value + "'";
        break;
    case app::FieldRule::flag:
        if (!taken) return name + " takes 1 (one line each time, in turn) or 0, not '" + value + "'";
        break;
    case app::FieldRule::number:
        if (!taken)
            return name + " takes a number such as 5 or 2.5 (or nothing, as the window's field), not '" + value + "'";
        break;
    }
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
    const app::FormField* form = app::findFormField(field);
    if (form && form->store == app::FieldStore::history) {
        History h(store);
        h.list.setText(value);
        h.history.AddCurrentItem();
        h.history.Save();
    } else if (!form) {
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
    // The values stand in one column, two blanks after the longest name.
    std::size_t width = 0;
    for (const app::FormField& f : app::formFields()) width = std::max(width, std::string_view(f.name).size() + 2);
    const auto row = [&](std::string name, const std::string& value) {
        name.resize(width, ' ');
        out += name + value + "\n";
    };
    row("Profile", profile.isDefault() ? "(default)" : profile.name());
    bool gameShown = false;
    for (const app::FormField& f : app::formFields()) {
        // The game stands with the window's own settings, before the service's.
        if (f.store == app::FieldStore::serviceOnly && !std::exchange(gameShown, true)) row(kGame, s.game);
        const std::string& value = s.fields.*f.field;
        if (f.field == &app::ServerFields::password) {
            row(f.name, value.empty() ? "" : "***");
        } else if (f.rule == app::FieldRule::lines) {
            const std::vector<std::string> lines = support::splitText(value, "\r\n");
            for (std::size_t i = 0; i < lines.size(); ++i) row(i == 0 ? f.name : "", lines[i]);
        } else {
            row(f.name, value);
        }
    }
    return out;
}

}  // namespace

ProfileSettings readProfile(const app::Profile& profile, platform::IRegistry& registry, platform::IFileSystem& files) {
    settings::CAppSettings store = storeOf(profile, registry);
    ProfileSettings s;
    for (const app::FormField& f : app::formFields()) {
        if (f.store == app::FieldStore::history) continue;
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

std::string missingProfile(const app::Profile& profile, platform::IRegistry& registry) {
    if (profile.isDefault()) return {};
    settings::CAppSettings store = storeOf(profile, registry);
    for (const char* section : {app::kFieldsSection, app::kHistorySection, app::kToolbarSection}) {
        std::vector<std::string> names;
        base::skipOnFailure([&] { store.GetAllKeys(section, names); });
        if (!names.empty()) return {};
    }
    return "there is no profile " + profile.name() + " (--set FIELD=VALUE ... makes it)";
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
        const bool message = field == app::formField(&app::ServerFields::message).name;
        if (message && value.rfind('@', 0) == 0) {
            const auto in = files.openForReading(value.substr(1));
            if (!in) return told(2, "cannot read the message file '" + value.substr(1) + "'");
            if (in->size() > kMaxMessageFile) return told(2, "the message file '" + value.substr(1) + "' is over 1 MB");
            value = in->read(static_cast<std::size_t>(in->size()));
        }
        const std::optional<std::string> text = eightBit(value, utf8);
        if (!text) return told(2, field + " holds a character outside ISO-8859-1, which the server cannot be sent");
        value = message ? messageText(*text) : *text;
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
        if (field == kGame && !app::findGameProfile(value))
            answer.err += told(0, "'" + value +
                                      "' is no game Vexmond knows: its lines go out as commands of their own, "
                                      "after the verb rcon")
                              .err;
    if (const std::string missing = missingProfile(profile, registry); show && !missing.empty())
        return told(2, missing);
    if (show)
        answer.out = utf8 ? support::utf8Of(shown(profile, readProfile(profile, registry, files)))
                          : shown(profile, readProfile(profile, registry, files));
    return answer;
}

}  // namespace service
