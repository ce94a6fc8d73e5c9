#pragma once
// What the churning saver writes in each round, and whether a file holds one
// of those contents whole: one letter repeated, at the length of its round.

#include <string>

namespace blokpost::test {

inline std::string churnContents(unsigned round) {
    return std::string(1000 + (round % 7) * 500, static_cast<char>('a' + round % 26));
}

inline const std::string& churnStart() {
    static const std::string start(3000, 'A');
    return start;
}

// True when `bytes` is the start contents or what some round wrote, whole.
inline bool isChurnContents(const std::string& bytes) {
    if (bytes == churnStart()) return true;
    if (bytes.empty() || bytes.find_first_not_of(bytes[0]) != std::string::npos) return false;
    for (unsigned round = 0; round < 26 * 7; ++round)
        if (churnContents(round) == bytes) return true;
    return false;
}

}  // namespace blokpost::test
