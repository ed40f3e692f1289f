#include "support/Variant.h"

#include <chrono>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/AppError.h"
#include "support/LeadingNumber.h"

namespace support {

Variant Variant::Null() { return Variant(Type::Null, std::monostate{}); }
Variant Variant::Missing() { return Variant(Type::Missing, std::monostate{}); }
Variant Variant::String(std::string s) { return Variant(Type::String, std::move(s)); }
Variant Variant::Boolean(bool b) { return Variant(Type::Boolean, std::int64_t{b ? -1 : 0}); }
Variant Variant::Integer(std::int16_t i) { return Variant(Type::Integer, std::int64_t{i}); }
Variant Variant::Long(std::int32_t l) { return Variant(Type::Long, std::int64_t{l}); }
Variant Variant::Single(float f) { return Variant(Type::Single, double{f}); }
Variant Variant::Double(double d) { return Variant(Type::Double, d); }
Variant Variant::CurrencyScaled(std::int64_t v) { return Variant(Type::Currency, v); }
Variant Variant::Date(double d) { return Variant(Type::Date, d); }
Variant Variant::Byte(std::uint8_t b) { return Variant(Type::Byte, std::int64_t{b}); }
Variant Variant::ByteArray(const std::vector<std::uint8_t>& bytes) {
    return Variant(Type::ByteArray, std::string(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> Variant::asBytes() const {
    const auto* s = std::get_if<std::string>(&m_value);
    return s ? std::vector<std::uint8_t>(s->begin(), s->end()) : std::vector<std::uint8_t>{};
}

const char* Variant::typeName() const {
    switch (m_type) {
    case Type::Empty: return "Empty";
    case Type::Null: return "Null";
    case Type::Integer: return "Integer";
    case Type::Long: return "Long";
    case Type::Single: return "Single";
    case Type::Double: return "Double";
    case Type::Currency: return "Currency";
    case Type::Date: return "Date";
    case Type::String: return "String";
    case Type::Boolean: return "Boolean";
    case Type::Byte: return "Byte";
    case Type::Missing: return "Error";
    case Type::ByteArray: return "Byte()";
    }
    return "Empty";
}

std::int32_t roundToLong(double value) {
    if (!std::isfinite(value)) throw base::runtimeError(base::kErrOverflow);
    const double r = std::nearbyint(value);  // default rounding mode: halves to even
    if (r < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        r > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        throw base::runtimeError(base::kErrOverflow);
    return static_cast<std::int32_t>(r);
}

static std::int32_t currencyToLong(std::int64_t scaled) {
    std::int64_t q = scaled / 10000;
    const std::int64_t r = scaled % 10000;  // same sign as scaled
    const std::int64_t absR = r < 0 ? -r : r;
    if (absR > 5000 || (absR == 5000 && (q % 2 != 0))) q += (scaled < 0 ? -1 : 1);
    if (q < std::numeric_limits<std::int32_t>::min() || q > std::numeric_limits<std::int32_t>::max())
        throw base::runtimeError(base::kErrOverflow);
    return static_cast<std::int32_t>(q);
}

double Variant::asDouble() const {
    if (auto d = std::get_if<double>(&m_value)) return *d;
    if (auto i = std::get_if<std::int64_t>(&m_value))
        return m_type == Type::Currency ? static_cast<double>(*i) / 10000.0 : static_cast<double>(*i);
    return 0.0;
}

std::int32_t Variant::toLong() const {
    switch (m_type) {
    case Type::Empty: return 0;
    case Type::Null: throw base::runtimeError(base::kErrInvalidUseOfNull);
    case Type::Missing:
    case Type::ByteArray: throw base::runtimeError(base::kErrTypeMismatch);
    case Type::Integer:
    case Type::Long:
    case Type::Boolean:
    case Type::Byte: return static_cast<std::int32_t>(std::get<std::int64_t>(m_value));
    case Type::Currency: return currencyToLong(std::get<std::int64_t>(m_value));
    case Type::Single:
    case Type::Double:
    case Type::Date: return roundToLong(std::get<double>(m_value));
    case Type::String: {
        const std::string& s = std::get<std::string>(m_value);
        const LeadingNumber n = readLeadingNumber(s);
        // A text converts only when it is a number as a whole (blanks around allowed).
        if (!n.found || s.find_first_not_of(' ', n.end) != std::string::npos)
            throw base::runtimeError(base::kErrTypeMismatch);
        return roundToLong(n.value);
    }
    }
    return 0;
}

template <class Number>
static std::string shortestDecimal(Number d) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, res.ptr);
}

// The dates a Date can hold: 100-01-01 to 9999-12-31, in days from 1899-12-30.
constexpr double kFirstDate = -657434.0;
constexpr double kDayAfterLastDate = 2958466.0;

static std::string dateText(double ole) {
    if (!(ole > kFirstDate - 1 && ole < kDayAfterLastDate)) throw base::runtimeError(base::kErrOverflow);
    // OLE dates count days from 1899-12-30; the fraction is the time of day.
    double days = std::floor(ole);
    double frac = std::fabs(ole - days);
    if (ole < 0) {  // negative dates keep the time as a positive fraction of their own day
        days = std::ceil(ole);
        frac = std::fabs(ole - days);
    }
    long long secs = std::llround(frac * 86400.0);
    if (secs >= 86400) {
        secs -= 86400;
        days += 1;
    }
    using namespace std::chrono;
    const year_month_day date{sys_days{} + std::chrono::days{static_cast<long long>(days) - 25569}};
    const int y = static_cast<int>(date.year());
    const unsigned mm = static_cast<unsigned>(date.month()), dd = static_cast<unsigned>(date.day());
    char buf[64];
    const int hh = static_cast<int>(secs / 3600), mi = static_cast<int>(secs / 60 % 60),
              ss = static_cast<int>(secs % 60);
    if (days == 0 && secs != 0)
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", hh, mi, ss);
    else if (secs == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", y, mm, dd);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %02d:%02d:%02d", y, mm, dd, hh, mi, ss);
    return buf;
}

std::string Variant::toText() const {
    switch (m_type) {
    case Type::Empty: return "";
    case Type::Null: throw base::runtimeError(base::kErrInvalidUseOfNull);
    case Type::Missing: throw base::runtimeError(base::kErrTypeMismatch);
    case Type::String:
    case Type::ByteArray: return std::get<std::string>(m_value);
    case Type::Boolean: return std::get<std::int64_t>(m_value) ? "True" : "False";
    case Type::Integer:
    case Type::Long:
    case Type::Byte: return std::to_string(std::get<std::int64_t>(m_value));
    case Type::Currency: return shortestDecimal(asDouble());
    case Type::Single: return shortestDecimal(static_cast<float>(std::get<double>(m_value)));
    case Type::Double: return shortestDecimal(std::get<double>(m_value));
    case Type::Date: return dateText(std::get<double>(m_value));
    }
    return "";
}

}  // namespace support
