#pragma once

// The built-in "EDIT" window class: a single-line text edit.
void RegisterNativeEditClass();
