#include "base/AppError.h"

#include <new>

#include "base/ExeName.h"

namespace base {

AppError::AppError(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description),
      m_lNumber(number),
      m_sSource(std::move(source)),
      m_sDescription(std::move(description)) {}

std::string classSource(const std::string& suffix) { return std::string(base::kExeName) + suffix; }

AppError asAppError(const std::exception& e) {
    if (const auto* err = dynamic_cast<const AppError*>(&e)) return *err;
    if (dynamic_cast<const std::bad_alloc*>(&e)) return AppError(7, base::kExeName, "Out of memory");
    return AppError(5, base::kExeName, e.what());
}

std::string errorText(const AppError& e) { return "Error: " + std::to_string(e.number()) + ". " + e.description(); }

AppError runtimeError(std::int32_t number) {
    switch (number) {
    case kErrOverflow: return AppError(number, base::kExeName, "Overflow");
    case kErrTypeMismatch: return AppError(number, base::kExeName, "Type mismatch");
    case kErrInvalidUseOfNull: return AppError(number, base::kExeName, "Invalid use of Null");
    case kErrObjectNotSet: return AppError(number, base::kExeName, "Object variable or With block variable not set");
    default: return AppError(number, base::kExeName, "Application-defined or object-defined error");
    }
}

}  // namespace base
