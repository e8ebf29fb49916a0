#pragma once

// The one timer tick of the program's effects. The fades, the See-All pulse
// and the buttons' hover check were designed for timers of 1 to 3 ms on a
// desktop whose timers really ticked about every 15.6 ms; ticking at that pace
// keeps the effects looking as they were meant to.

namespace corvane {

inline constexpr int kTimerTickMs = 16;

}  // namespace corvane
