#pragma once

// The whole program behind QuillmarkTandemDiff's main(): application set-up,
// the command line and the event loop.

int RunQuillmarkTandemDiff(int argc, char *argv[]);
