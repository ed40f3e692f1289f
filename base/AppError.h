#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

namespace base {

// Base of the numbers the support classes raise: each class adds an offset of
// its own (17021 for the settings store, 18061 for the history box, ...).
inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);

constexpr std::int32_t objectError(std::int32_t offset) { return kObjectErrorBase + offset; }

// The error object every failure carries: a number, a source and a description.
class AppError : public std::runtime_error {
public:
    AppError(std::int32_t number, std::string source, std::string description);

    std::int32_t number() const { return m_lNumber; }
    const std::string& source() const { return m_sSource; }
    const std::string& description() const { return m_sDescription; }

private:
    std::int32_t m_lNumber;
    std::string m_sSource;
    std::string m_sDescription;
};

// "vexmond" + suffix, e.g. classSource(".CFile") == "vexmond.CFile".
std::string classSource(const std::string& suffix);

// The runtime's own error numbers that the conversions raise.
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrTypeMismatch = 13;
inline constexpr std::int32_t kErrInvalidUseOfNull = 94;
inline constexpr std::int32_t kErrObjectNotSet = 91;

AppError runtimeError(std::int32_t number);

// Any failure as the error object: an AppError as it is, running out of
// memory as 7, anything else as 5 (invalid procedure call) with its text.
AppError asAppError(const std::exception& e);

// "Error: " + number + ". " + description, as the support modules show it.
std::string errorText(const AppError& e);

// What a class turns every failure it did not raise itself into.
struct ComponentFailure {
    std::int32_t number;
    std::string source;       // full source text, exe name included
    std::string description;  // "<Class> component failure"

    AppError error() const { return AppError(number, source, description); }
};

// Runs one member body: the errors the member raises itself (its own numbers)
// pass through unchanged, anything else becomes the component failure.
template <class F>
decltype(auto) guardMember(const ComponentFailure& failure, std::initializer_list<std::int32_t> ownNumbers, F&& body) {
    try {
        return std::forward<F>(body)();
    } catch (const AppError& e) {
        for (std::int32_t n : ownNumbers)
            if (e.number() == n) throw;
        throw failure.error();
    } catch (...) {
        throw failure.error();
    }
}

// Start-up and unload: a failing step is abandoned silently and the next runs.
template <class F>
void skipOnFailure(F&& step) noexcept {
    try {
        std::forward<F>(step)();
    } catch (...) {}
}

}  // namespace base
