#pragma once
// A port for a test's machines on loopback, checked free rather than taken from the process
// id, which another run on the machine may share.

// A port that 127.0.0.1 up to 127.0.0.`addresses` could each listen on a moment ago (the
// machines of a game each bind their own), reserved for this process while it runs: tests
// running beside each other never get the same one, and it lies below the range the kernel
// draws the source ports of outgoing connections from, so no connection of another test takes
// it before the machines listen. 0 when none could be had.
int FreePort(int addresses = 1);
