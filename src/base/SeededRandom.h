#pragma once

#include "Ports.h"

#include <cstdint>
#include <random>

namespace dravena {

// A seedable pseudo-random source giving numbers in [0, 1). The same seed gives the same numbers.
class SeededRandom final : public RandomSource {
public:
    SeededRandom();
    void seed(unsigned value) override;
    double next() override;

private:
    std::mt19937_64 engine_;
};

} // namespace dravena
