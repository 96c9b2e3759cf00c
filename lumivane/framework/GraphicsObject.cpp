#include "lumivane/framework/GraphicsObject.h"

#include <cstdlib>
#include <span>
#include <string_view>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TGraphicsObject) {}

void TGraphicsObject::Changed() { OnChange(this); }

}  // namespace lumivane
