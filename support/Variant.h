#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace support {

// A dynamically typed value, as the settings store takes and returns it. The
// type names are the ones SaveSetting dispatches on ("String", "Date",
// "Boolean", everything else stored as a 32-bit integer).
class Variant {
public:
    enum class Type {
        Empty,
        Null,
        Integer,
        Long,
        Single,
        Double,
        Currency,
        Date,
        String,
        Boolean,
        Byte,
        Missing,
        ByteArray
    };

    Variant() = default;  // Empty

    static Variant Null();
    static Variant Missing();  // an omitted optional argument
    static Variant String(std::string s);
    static Variant Boolean(bool b);
    static Variant Integer(std::int16_t i);
    static Variant Long(std::int32_t l);
    static Variant Single(float f);
    static Variant Double(double d);
    static Variant CurrencyScaled(std::int64_t tenThousandths);  // 2.5 is 25000
    static Variant Date(double oleDate);                         // days since 1899-12-30, time as the fraction
    static Variant Byte(std::uint8_t b);
    static Variant ByteArray(const std::vector<std::uint8_t>& bytes);

    Type type() const { return m_type; }
    const char* typeName() const;
    bool isEmpty() const { return m_type == Type::Empty; }

    // Conversion to a signed 32-bit integer: fractions round to the nearest
    // integer, halves to the even one; Empty gives 0. Raises Overflow (6) out
    // of range, Invalid use of Null (94) for Null, Type mismatch (13) for a
    // text that is no number and for Missing.
    std::int32_t toLong() const;

    // Text form: Boolean "True"/"False", numbers in their shortest exact
    // decimal form, dates as "yyyy-mm-dd hh:mm:ss". Null raises 94.
    std::string toText() const;

    // Typed accessors for callers that checked type() first.
    const std::string& asString() const { return std::get<std::string>(m_value); }
    std::vector<std::uint8_t> asBytes() const;
    double asDouble() const;

    friend bool operator==(const Variant& a, const Variant& b) {
        return a.m_type == b.m_type && a.m_value == b.m_value;
    }

private:
    Variant(Type t, std::variant<std::monostate, std::int64_t, double, std::string> v)
        : m_type(t), m_value(std::move(v)) {}

    Type m_type = Type::Empty;
    std::variant<std::monostate, std::int64_t, double, std::string> m_value;
};

// Round half to even and check the 32-bit range (Overflow otherwise).
std::int32_t roundToLong(double value);

}  // namespace support
