#pragma once

// The built-in "BUTTON" window class: an owner-drawn or plain push button.
void RegisterNativeButtonClass();
