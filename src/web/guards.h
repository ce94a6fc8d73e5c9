#pragma once
// What stands between a browser and the layout: the PIN that any action
// needs, slowed down after each wrong one, and the bounds on how much and how
// often anyone may ask. Times are milliseconds of a steady clock, given by the
// caller.

#include <QString>
#include <cstdint>
#include <map>

namespace blokpost {

class PinGuard {
public:
    enum class Verdict { Accepted, Wrong, Waiting };

    // A new PIN of six digits; any attempt before it counts from scratch.
    void renew(std::uint32_t random);
    const QString& pin() const { return pin_; }
    Verdict check(const QString& attempt, std::int64_t nowMs);
    // How long the next attempt must wait.
    std::int64_t waitMs(std::int64_t nowMs) const;

private:
    QString pin_;
    int wrongInARow_ = 0;
    std::int64_t nextAttemptMs_ = 0;
};

// Requests per peer: a burst, then a steady rate.
class RateBound {
public:
    bool admit(const QString& peer, std::int64_t nowMs);

private:
    struct Bucket {
        double tokens;
        std::int64_t lastMs;
    };
    std::map<QString, Bucket> buckets_;
};

inline constexpr int kMaxRequestBytes = 8 * 1024;
inline constexpr int kMaxConnections = 128;

}  // namespace blokpost
