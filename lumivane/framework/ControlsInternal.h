#pragma once
#include "lumivane/windows/Messages.h"

namespace lumivane {

class TControl;
class TWinControl;

// Bookkeeping shared by the control sources: the window-to-control table and the capture.
namespace ControlsInternal {
// Drops every reference the framework keeps to a control that is going away.
void ForgetControl(TControl* Control);
void RegisterHandle(HWND Handle, TWinControl* Control);
void UnregisterHandle(HWND Handle);
// Child ids given to windows, for WM_MEASUREITEM (which names its control only by id).
UINT NewControlId(TWinControl* Control);
void ReleaseControlId(UINT Id);
TWinControl* ControlById(UINT Id);
}  // namespace ControlsInternal

}  // namespace lumivane
