#pragma once
#include <cstdint>

namespace lumivane {

// The control library's class names, for headers that only hold, pass or return them.

class TImButtonColors;
class TCustomImButton;
class TImButton;
class TImImage;
class TImPanel;
class TKdBackImage;
class TKdUpDownButtonHost;
class TKdCustomUpDownButton;
class TKdUpDownButtonColors;
class TKdCustomUpDownEdit;
class TKdUpDownEdit;
class TKdCustomUrlLabel;
class TKdUrlLabel;
class TKdCustomInplaceEdit;
class TValidateEditColors;
class TCustomValidateEdit;
class TValidateEdit;
struct TValidateState;
// The edits' frame style (ValidateEdit.h), held by the up-down buttons.
enum TKdEditBorderStyle : uint8_t;

}  // namespace lumivane
