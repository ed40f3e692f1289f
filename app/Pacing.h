#pragma once

#include <cstdint>
#include <optional>

namespace app {

// When the next datagram of a session may leave so that the server takes
// it. Quake 3 1.32, Return to Castle Wolfenstein, Enemy Territory, Jedi
// Knight II and Jedi Academy drop without a word any rcon datagram that
// comes within 500 ms of the last one they took (from anyone);
// ioquake3 and OpenJK take ten from one address at once, then one a second,
// status queries counted (sv_main.c, SVC_RateLimit: a count that one
// datagram raises and each whole second lowers, refused at ten). Every
// datagram keeps a gap of kGapMilliseconds to the one before it, and the
// count is kept as the server keeps it, with kMarginMilliseconds of room for
// datagrams that the network brings closer together than they left.
class Pacer {
public:
    static constexpr std::int64_t kGapMilliseconds = 550;
    static constexpr int kBurst = 10;
    static constexpr std::int64_t kPeriodMilliseconds = 1000;
    static constexpr std::int64_t kMarginMilliseconds = 50;

    // How long a datagram must wait at `now` before it goes (0: at once).
    std::int64_t waitBefore(std::int64_t now) const;
    // A datagram left at `now`.
    void sent(std::int64_t now);

private:
    struct Bucket {
        int count = 0;
        std::int64_t since = 0;  // when the count last fell, or was first raised
    };
    // The count as the server has it at `now`.
    Bucket drained(std::int64_t now) const;

    std::optional<std::int64_t> m_last;
    Bucket m_bucket;
};

}  // namespace app
