#pragma once
// The framework's failure type is the system-wide Exception; framework code includes this header.
#include "lumivane/platform/base/Exception.h"
