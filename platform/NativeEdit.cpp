#include "platform/NativeEdit.h"

void RegisterNativeEditClass() {}
