#pragma once
// Signals of the system that the programs handle themselves.

// Makes a write to a closed socket or pipe return an error (EPIPE) instead of ending the
// process. A handler the program installed itself is left alone. The network code calls it
// before its sockets write; the programs call it at start.
void IgnoreSigpipe();
