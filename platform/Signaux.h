#pragma once
// Signals of the system that the programs handle themselves.

// Makes a write to a closed socket or pipe return an error (EPIPE) instead of ending the
// process. A handler the program installed itself is left alone. The network code calls it
// before its sockets write.
void IgnoreSigpipe();

// What every program does about signals at its start, before any window or file: SIGPIPE as
// above, and SIGXFSZ ignored, so that a write past the file-size limit fails with EFBIG and the
// writer reports it, instead of the process being killed mid-save. Handlers the program installed
// itself are left alone. TApplication calls it; a program without one calls it first thing.
void PrepareSignaux();
