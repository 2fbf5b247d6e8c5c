// How exactly the system fires the game's timers.
#pragma once

namespace vexlorn {

// Lets the system fire the calling thread's timers up to `ns` late, so that it can merge their
// wake-ups with others; inherited by threads this one starts. 0 goes back to the default.
// Where threads have no such slack, nothing.
void setTimerSlack(unsigned long ns);

// While held, sleeps end within a millisecond of their time, as the 50 Hz tick and the loop's
// rest(1) need; where the system's own resolution is coarser, it is raised for that time only.
void holdFineTimer();
void releaseFineTimer();

}  // namespace vexlorn
