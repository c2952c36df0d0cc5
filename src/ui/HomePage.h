#pragma once

namespace dravena {

// On about one start in a hundred, opens the maker's home page through the launcher port. The
// generator is seeded from the clock port's time of day.
void VisitHomePage();

} // namespace dravena
