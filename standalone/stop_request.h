// Ctrl+C, SIGINT and SIGTERM (on Windows also the console's closing) ask the program to stop;
// the main loop polls for it and ends cleanly.
#pragma once

namespace standalone
{

void installStopHandlers();
bool stopRequested();
// The main loop has finished its clean-up: a console that is closing may end the process.
void stopCompleted();

} // namespace standalone
