#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace orbet {

// Where a step through the main window's file list lands, for a list of n
// entries whose selected index is i (-1 when none). An empty list gives no
// index: the step does nothing at all.
std::optional<int> nextIndex(int n, int i);
std::optional<int> previousIndex(int n, int i);
// The entry a random step picks for a uniform number in [0, 1); the same
// entry may come again.
std::optional<int> randomIndex(int n, double uniform);

// A uniform number in [0, 1) per call.
using UniformSource = std::function<double()>;
// The same numbers for the same seed; the default is seeded afresh.
UniformSource seededUniformSource(std::uint32_t seed);
UniformSource defaultUniformSource();

} // namespace orbet
