#include "lumivane/framework/StandardControls.h"

#include "lumivane/framework/Button.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/Image.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/Menu.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/Panel.h"
#include "lumivane/framework/PopupMenu.h"
#include <algorithm>
#include <cstring>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/StandardControls.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

void RegisterStandardControls() {
    RegisterClasses({TControl::StaticClass(), TWinControl::StaticClass(), TGraphicControl::StaticClass(),
                     TCustomControl::StaticClass(), TCustomLabel::StaticClass(), TLabel::StaticClass(),
                     TButtonControl::StaticClass(), TButton::StaticClass(), TCustomEdit::StaticClass(),
                     TEdit::StaticClass(), TTimer::StaticClass()});
    RegisterMenuClasses();
}

void RegisterExtControls() {
    RegisterClasses({TImage::StaticClass(), TCustomPanel::StaticClass(), TPanel::StaticClass()});
}

void RegisterMenuClasses() {
    RegisterClasses({TMenuItem::StaticClass(), TMenu::StaticClass(), TPopupMenu::StaticClass()});
}

}  // namespace lumivane
