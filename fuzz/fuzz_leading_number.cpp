// A field read as a leading number, and a text converted to a Long.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/AppError.h"
#include "support/LeadingNumber.h"
#include "support/Variant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const support::LeadingNumber n = support::readLeadingNumber(text);
    if (n.end > text.size()) __builtin_trap();
    if (!n.found && n.value != 0.0) __builtin_trap();
    try {
        (void)support::Variant::String(text).toLong();
    } catch (const base::AppError&) {}
    return 0;
}
