#pragma once
// The framework's failure type is the system-wide Exception; framework code includes this header.
#include "platform/base/Exception.h"
