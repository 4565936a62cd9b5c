#pragma once

// The index under which `pidof VOK_App` lists the broker with process id
// pid, for the environment request; 0 (the first broker) when it is not listed.
unsigned brokerIndexOf(int pid);
