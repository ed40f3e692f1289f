#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace support {

struct LeadingNumber {
    double value = 0.0;
    bool found = false;   // the text begins with a number
    std::size_t end = 0;  // index just past the last character taken
};

// The longest leading decimal number of a text: blanks are skipped, an
// optional sign, digits with "." as the decimal point and an optional
// exponent. A text that does not begin with a number reads 0.
LeadingNumber readLeadingNumber(std::string_view text);

inline double leadingNumber(std::string_view text) { return readLeadingNumber(text).value; }

// A spin field's arrows: the whole part of the number the text starts with,
// stepped and kept within [low, high], as the field's new text. A text that
// is no number steps from 0. An arrow that points away from the range, up
// from high or above it, down from low or below it, leaves the text as it is.
std::string steppedNumber(std::string_view text, int steps, int low, int high);

}  // namespace support
