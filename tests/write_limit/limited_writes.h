#pragma once
// A full disk at will: the test programs link this answer to how much a
// write of a stored file may put down in place of the program's "no limit".

#include <cstddef>

namespace blokpost {

// Makes every save while it lives stop after writing `bytes` bytes, as a
// full disk would: the write fails with "No space left on device".
class ScopedWriteFailure {
public:
    explicit ScopedWriteFailure(std::size_t bytes);
    ~ScopedWriteFailure();
    ScopedWriteFailure(const ScopedWriteFailure&) = delete;
    ScopedWriteFailure& operator=(const ScopedWriteFailure&) = delete;
};

}  // namespace blokpost
