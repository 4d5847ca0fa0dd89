#pragma once

// Reopens on the null device each of standard input, output and error that the game was
// started without (`2>&-`). Otherwise the next descriptor opened takes its number: the X
// connection would become standard error, and the game's messages would be written into it.
// On Windows, SDL's messages are written through the C library's standard error from here on.
// Called first thing at start-up, before anything opens a file.
void ReopenClosedStandardStreams();
