#pragma once

// Registers every class a layout may name: the framework's standard controls (through
// Application->Initialize, which the caller runs first), the control library's, and the notice
// and gallery windows. The tools (formshot, formview) share this one list.
void RegisterToolClasses();
