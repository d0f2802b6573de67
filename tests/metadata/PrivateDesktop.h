#pragma once

// Moves the calling thread, before it has any window, to a desktop of its own. Wine keeps one
// foreground window per desktop, so other programs showing windows on the same display then
// cannot take the focus from this thread's windows (an open in-place editor would close).
bool UsePrivateDesktop();
