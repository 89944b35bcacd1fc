#pragma once

namespace velto::platform {

// Initialises PortAudio and opens the default output device once; false (PortAudio
// terminated again) when no device really opens. True leaves PortAudio initialised: the
// caller terminates it when done.
bool ProbeDefaultOutputDevice();

}  // namespace velto::platform
