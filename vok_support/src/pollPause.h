#pragma once

namespace VOK {

// Sleeps for the given time; a sleep cut short by a signal goes on with the
// time that is left, so every pause lasts its full length.
void sleepNanoseconds(long nanoseconds);

// The pause that a polling step costs when nothing happened: 10 ms.
void pollPause();

}  // namespace VOK
