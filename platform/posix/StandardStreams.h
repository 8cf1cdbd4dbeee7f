// Descriptors 0 to 2 as every program expects them: a program started with one closed would
// otherwise get it back from its next open, and print into whatever that opened, a disk say.
#pragma once

// Opens /dev/null onto each of the three that is closed. Call first thing in main.
void OpenClosedStandardStreams();
