// Command ids: the ids of WM_COMMAND from menus, accelerators and tool buttons, each with the
// handler it runs.
#pragma once

#include <windows.h>

#include <functional>

namespace ruk {

// An id for the handler; 0 is never given out.
UINT AllocCommandId(std::function<void()> handler);
void ReleaseCommandId(UINT id);
// Runs the handler of id; false when the id is unknown.
bool DispatchCommand(UINT id);

}  // namespace ruk
