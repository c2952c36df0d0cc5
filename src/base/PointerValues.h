#pragma once

namespace dravena {

// Pointer values of a main window: what the windows show and what an operation asks them to show.
constexpr int PointerDefault = 0;
constexpr int PointerBusy = 11;
constexpr int PointerCustom = 99;

} // namespace dravena
