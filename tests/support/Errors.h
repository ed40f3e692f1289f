#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/AppError.h"

namespace testsupport {

// The number of the error the call raises (0 when it raises none), and its
// source when asked for.
inline std::uint32_t errorNumber(const std::function<void()>& call, std::string* source = nullptr) {
    try {
        call();
    } catch (const base::AppError& e) {
        if (source) *source = e.source();
        return static_cast<std::uint32_t>(e.number());
    }
    return 0;
}

}  // namespace testsupport
