#include "app/Pacing.h"

#include <algorithm>

namespace app {

Pacer::Bucket Pacer::drained(std::int64_t now) const {
    Bucket b = m_bucket;
    if (b.count == 0) return Bucket{0, now};
    const std::int64_t elapsed = std::max<std::int64_t>(now - b.since, 0);
    const std::int64_t periods = elapsed / (kPeriodMilliseconds + kMarginMilliseconds);
    if (periods >= b.count) return Bucket{0, now};
    b.count -= static_cast<int>(periods);
    b.since += periods * (kPeriodMilliseconds + kMarginMilliseconds);
    return b;
}

std::int64_t Pacer::waitBefore(std::int64_t now) const {
    std::int64_t at = now;
    if (m_last) at = std::max(at, *m_last + kGapMilliseconds);
    const Bucket b = drained(at);
    // The count must have fallen below the burst by the time it goes.
    if (b.count >= kBurst) at = b.since + (b.count - kBurst + 1) * (kPeriodMilliseconds + kMarginMilliseconds);
    return at - now;
}

void Pacer::sent(std::int64_t now) {
    m_bucket = drained(now);
    ++m_bucket.count;
    m_last = now;
}

}  // namespace app
