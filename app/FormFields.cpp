#include "app/FormFields.h"

#include <algorithm>
#include <cctype>

namespace app {

namespace {

static_assert(kMaxLineDelaySeconds == 60.0, "the delay's tooltip names its bound");

constexpr int kNumberLength = 32;

const FormField kFields[] = {
    {"IP",
     &ServerFields::address,
     FieldStore::history,
     "txtIP",
     " &IP:",
     "",
     "Server IP",
     "",
     "",
     "Type in a new IP and press enter to add it to the available list",
     0,
     FieldRule::line,
     {}},
    {"Port",
     &ServerFields::port,
     FieldStore::fieldsSection,
     "txtPort",
     "&Port:",
     "",
     "Server port",
     "",
     "",
     "",
     6,
     FieldRule::portDigits,
     {}},
    {"Password",
     &ServerFields::password,
     FieldStore::fieldsSection,
     "txtPassword",
     "Pass&word:",
     "",
     "Rcon password",
     "",
     "",
     "",
     0,
     FieldRule::line,
     {}},
    {"Msg",
     &ServerFields::message,
     FieldStore::fieldsSection,
     "txtMsg",
     "&Message to Send:",
     "",
     "Message to send, one server message per line",
     "",
     "",
     "",
     0,
     FieldRule::lines,
     {}},
    {"Msg_Timer",
     &ServerFields::messageInterval,
     FieldStore::fieldsSection,
     "txtSeverMessageTime",
     "Send message every",
     "",
     "Send message every how many minutes",
     "5",
     "5",
     "",
     kNumberLength,
     FieldRule::number,
     {1, 30}},
    {"Msg_Delay",
     &ServerFields::lineDelay,
     FieldStore::fieldsSection,
     "txtMsgDelay",
     "minutes and delay each line",
     "seconds.",
     "Delay after each line, in seconds",
     "15",
     "5",
     "Seconds to pause after each line, from 0 to 60 (0 means 2). The window takes no input during the pause.",
     kNumberLength,
     FieldRule::number,
     {5, 30}},
    {"Min_Players",
     &ServerFields::minPlayers,
     FieldStore::fieldsSection,
     "txtMinPlayers",
     "only with at &least",
     "players on",
     "Broadcast only with at least how many players on",
     "0",
     "0",
     "A broadcast that falls due with fewer players on (bots do not count) is skipped; 0 broadcasts always.",
     kNumberLength,
     FieldRule::number,
     {0, 64}},
    {"Msg_Rotate",
     &ServerFields::rotate,
     FieldStore::fieldsSection,
     "chkMsgRotate",
     "one line each time, in t&urn",
     "",
     "One line each time, in turn",
     "0",
     "0",
     "Each broadcast sends the next line of the message, going on where the last one ended, instead of every line.",
     1,
     FieldRule::flag,
     {}},
    {"Status",
     &ServerFields::statusInterval,
     FieldStore::serviceOnly,
     "txtStatus",
     "Get Status every",
     "minutes.",
     "Get status every how many minutes",
     "1",
     "1",
     "",
     kNumberLength,
     FieldRule::number,
     {1, 30}},
};

bool digits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::span<const FormField> formFields() { return kFields; }

const FormField* findFormField(std::string_view name) {
    for (const FormField& f : kFields)
        if (sameName(f.name, name)) return &f;
    return nullptr;
}

const FormField& formField(std::string ServerFields::*field) {
    return *std::find_if(std::begin(kFields), std::end(kFields), [&](const FormField& f) { return f.field == field; });
}

const FormField& formFieldOf(std::string_view control) {
    return *std::find_if(std::begin(kFields), std::end(kFields),
                         [&](const FormField& f) { return control == f.control; });
}

bool acceptsText(const FormField& field, std::string_view text) {
    if (field.maxLength > 0 && text.size() > static_cast<std::size_t>(field.maxLength)) return false;
    switch (field.rule) {
    case FieldRule::lines: return true;
    case FieldRule::line: return text.find_first_of("\r\n") == std::string_view::npos;
    case FieldRule::portDigits: return digits(text);
    case FieldRule::flag: return text.empty() || text == "0" || text == "1";
    case FieldRule::number: {
        const std::size_t point = text.find('.');
        if (point == std::string_view::npos) return digits(text);
        return text.size() > 1 && digits(text.substr(0, point)) && digits(text.substr(point + 1));
    }
    }
    return false;
}

}  // namespace app
