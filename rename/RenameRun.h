// Letting the window's messages through between the files of a run.
#pragma once

// Dispatches the messages waiting for this thread; false when one of them asked
// the application to quit (the request is posted again for the main loop).
bool PumpMessages();
