// The JACK ports of the program's stream: PortAudio connects them to the system's ports when the
// stream starts; the program keeps that only when asked to (--connect), connecting one capture
// port to its input and its outputs to the first two playback ports.
#pragma once

#include <string>

namespace standalone
{

// Connects or disconnects the ports of the JACK client clientName; false with the reason in
// error when JACK cannot be reached.
bool arrangeJackPorts(const std::string& clientName, bool connect, std::string& error);

} // namespace standalone
