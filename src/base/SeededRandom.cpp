#include "SeededRandom.h"

namespace dravena {

SeededRandom::SeededRandom() : engine_(std::random_device{}()) {}

void SeededRandom::seed(unsigned value) {
    engine_.seed(value);
}

double SeededRandom::next() {
    // The top 53 bits as a fraction: exactly representable, never 1.0.
    constexpr double Scale = 1.0 / 9007199254740992.0; // 2^-53
    return static_cast<double>(engine_() >> 11) * Scale;
}

} // namespace dravena
