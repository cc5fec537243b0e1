#include "viewers/ListSteps.h"

#include <algorithm>
#include <memory>
#include <random>

namespace orbet {

std::optional<int> nextIndex(int n, int i) {
    if (n <= 0) return std::nullopt;
    if (i < n - 1) return std::max(i + 1, 0);
    return 0; // the last entry wraps to the first
}

std::optional<int> previousIndex(int n, int i) {
    if (n <= 0) return std::nullopt;
    if (i == -1) return 0;
    if (i < 1) return n - 1;
    // A selection beyond the list (it shrank under us) steps to its last entry.
    return std::min(i - 1, n - 1);
}

std::optional<int> randomIndex(int n, double uniform) {
    if (n <= 0) return std::nullopt;
    return std::clamp(int(uniform * n), 0, n - 1);
}

UniformSource seededUniformSource(std::uint32_t seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

UniformSource defaultUniformSource() {
    return seededUniformSource(std::random_device{}());
}

} // namespace orbet
