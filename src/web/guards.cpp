#include "web/guards.h"

#include <algorithm>

namespace blokpost {

namespace {
// The wait after the n-th wrong PIN in a row: 1, 2, 4 ... seconds, at most 30.
constexpr std::int64_t kFirstWaitMs = 1000;
constexpr std::int64_t kLongestWaitMs = 30000;
constexpr double kBurst = 40;
constexpr double kPerSecond = 10;
// Peers quiet this long are forgotten, so the table stays small.
constexpr std::int64_t kForgetMs = 60000;
}  // namespace

void PinGuard::renew(std::uint32_t random) {
    pin_ = QStringLiteral("%1").arg(random % 1000000, 6, 10, QLatin1Char('0'));
    wrongInARow_ = 0;
    nextAttemptMs_ = 0;
}

std::int64_t PinGuard::waitMs(std::int64_t nowMs) const { return std::max<std::int64_t>(0, nextAttemptMs_ - nowMs); }

PinGuard::Verdict PinGuard::check(const QString& attempt, std::int64_t nowMs) {
    // While a wrong PIN is being waited out no attempt is weighed, not even the right one.
    if (waitMs(nowMs) > 0) return Verdict::Waiting;
    if (!pin_.isEmpty() && attempt == pin_) {
        wrongInARow_ = 0;
        return Verdict::Accepted;
    }
    ++wrongInARow_;
    nextAttemptMs_ = nowMs + std::min(kLongestWaitMs, kFirstWaitMs << std::min(wrongInARow_ - 1, 15));
    return Verdict::Wrong;
}

bool RateBound::admit(const QString& peer, std::int64_t nowMs) {
    std::erase_if(buckets_, [&](const auto& entry) { return nowMs - entry.second.lastMs > kForgetMs; });
    auto [at, added] = buckets_.try_emplace(peer, Bucket{kBurst, nowMs});
    Bucket& bucket = at->second;
    bucket.tokens = std::min(kBurst, bucket.tokens + (nowMs - bucket.lastMs) * kPerSecond / 1000.0);
    bucket.lastMs = nowMs;
    if (bucket.tokens < 1) return false;
    bucket.tokens -= 1;
    return true;
}

}  // namespace blokpost
