#pragma once

namespace platform {

struct LocalDateTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// The local date and time, and the system's separators for writing them.
class IClock {
public:
    virtual ~IClock() = default;
    virtual LocalDateTime now() const = 0;
    virtual char dateSeparator() const { return '/'; }
    virtual char timeSeparator() const { return ':'; }
};

}  // namespace platform
