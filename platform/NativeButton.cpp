#include "platform/NativeButton.h"

void RegisterNativeButtonClass() {}
