#include "support/LeadingNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace support {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

LeadingNumber readLeadingNumber(std::string_view text) {
    // Collect the characters of the number with blanks dropped, then convert
    // that clean text with from_chars, which ignores the process locale (a
    // German desktop must still read "2.5" as two and a half).
    std::string digits;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i])) ++i;
    };
    LeadingNumber result;

    skipBlanks();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        digits += text[i];
        ++i;
        skipBlanks();
    }
    bool mantissa = false;
    std::size_t lastTaken = 0;
    while (i < n && (isDigit(text[i]) || isBlank(text[i]))) {
        if (isDigit(text[i])) {
            digits += text[i];
            mantissa = true;
            lastTaken = i + 1;
        }
        ++i;
    }
    if (i < n && text[i] == '.') {
        std::size_t j = i + 1;
        std::string frac = ".";
        bool fracDigits = false;
        while (j < n && (isDigit(text[j]) || isBlank(text[j]))) {
            if (isDigit(text[j])) {
                frac += text[j];
                fracDigits = true;
                lastTaken = j + 1;
            }
            ++j;
        }
        if (mantissa || fracDigits) {
            if (fracDigits) digits += frac;
            if (!fracDigits && mantissa) lastTaken = i + 1;
            mantissa = true;
            i = j;
        }
    }
    if (!mantissa) return result;

    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < n && (text[j] == '+' || text[j] == '-')) exp += text[j++];
        bool expDigits = false;
        std::size_t expEnd = 0;
        while (j < n && isDigit(text[j])) {
            exp += text[j++];
            expDigits = true;
            expEnd = j;
        }
        if (expDigits) {
            digits += exp;
            lastTaken = expEnd;
        }
    }

    const bool negative = digits[0] == '-';
    const std::size_t start = (digits[0] == '-' || digits[0] == '+') ? 1 : 0;
    double v = 0.0;
    const char* first = digits.data() + start;
    const char* last = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(first, last, v);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Too large is infinite, too small is zero; tell them apart by the exponent's sign.
        const auto e = digits.find('e');
        v = (e != std::string::npos && e + 1 < digits.size() && digits[e + 1] == '-') ? 0.0 : HUGE_VAL;
    }
    result.value = negative ? -v : v;
    result.found = true;
    result.end = lastTaken;
    return result;
}

std::string steppedNumber(std::string_view text, int steps, int low, int high) {
    const double v = leadingNumber(text);
    if ((steps > 0 && !(v < high)) || (steps < 0 && !(v > low))) return std::string(text);
    const double stepped = std::isfinite(v) ? std::floor(v) + steps : v;
    return std::to_string(static_cast<int>(std::clamp(stepped, static_cast<double>(low), static_cast<double>(high))));
}

}  // namespace support
