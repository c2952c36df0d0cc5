#pragma once

#include <cstddef>

namespace dravena {

// The file descriptors the row comparisons of the process may hold at once, drawn from the
// process's limit (raised to its hard limit on first use), less those already open and room for
// the connections, tables and libraries of every job. Comparisons running at once share it: each
// takes what it needs while there is enough, and waits for the others to give some back when
// there is not.
class DescriptorGrant {
public:
    // Takes at least `least` descriptors (waiting until they are free) and up to `wanted`.
    DescriptorGrant(std::size_t least, std::size_t wanted);
    ~DescriptorGrant();
    DescriptorGrant(const DescriptorGrant&) = delete;
    DescriptorGrant& operator=(const DescriptorGrant&) = delete;

    std::size_t count() const { return count_; }

    // What the budget holds when nothing is taken.
    static std::size_t total();

private:
    std::size_t count_ = 0;
};

} // namespace dravena
