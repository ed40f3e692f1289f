#pragma once

#include <span>
#include <string>
#include <string_view>

#include "app/RconSession.h"

namespace app {

// What a field takes, as typed or pasted into a window and as --set takes it.
enum class FieldRule {
    lines,       // any text, its lines separated by CR LF (the message)
    line,        // one line of any text
    portDigits,  // digits only, at most six
    number,      // nothing, or digits with at most one decimal point ("5", "2.5", ".5")
    flag,        // a check box: "1" checked, "0" or nothing not
};

// Where a field's value is kept in a profile's store.
enum class FieldStore {
    fieldsSection,  // a value of its own in kFieldsSection, read at start-up and saved by Close and Start
    history,        // the address history's first entry (section kHistorySection)
    serviceOnly,    // kept for the service alone: the window's field starts at its design value each run
};

// The arrows of a spin field step a whole number within these bounds, the
// numbers the form keeps with each field; what is typed is not bounded.
struct SpinBounds {
    int low = 0;
    int high = 0;
    bool any() const { return high > low; }
};

// One field of the form that holds a server's settings.
struct FormField {
    const char* name;  // the stored value's name, and the name --set and --show give it
    std::string ServerFields::*field;
    FieldStore store;
    const char* control;         // the window's control
    const char* label;           // the text before it (a check box's own), its access key marked with "&"
    const char* after;           // the text after it, or empty
    const char* accessibleName;  // what a screen reader calls it
    const char* designValue;     // what the field holds before the store is read
    const char* missing;         // what it takes at start-up when the store holds no value
    const char* tooltip;         // empty for none
    int maxLength;               // characters; 0 for no limit
    FieldRule rule;
    SpinBounds arrows;  // none for a field without arrows
};

// The form's fields, in the order --show lists them.
std::span<const FormField> formFields();
// The field of a stored name, in any case (as the store compares names), or nullptr.
const FormField* findFormField(std::string_view name);
const FormField& formField(std::string ServerFields::*field);
// The field of a window's control ("txtPort"); the control must be one of the table's.
const FormField& formFieldOf(std::string_view control);

// Whether the field takes the text: its rule and its length.
bool acceptsText(const FormField& field, std::string_view text);

}  // namespace app
