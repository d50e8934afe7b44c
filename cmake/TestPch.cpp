// Compiles the shared precompiled header of the test executables; it has no code of its own.
