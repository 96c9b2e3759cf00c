#include "tools/ToolClasses.h"

#include "gallery/frmGallery.h"

void RegisterToolClasses() { RegisterGalleryWindow(); }
