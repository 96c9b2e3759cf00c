#pragma once

namespace lumivane {

// Registers the framework's standard classes (TLabel, TButton, TEdit, TTimer and the abstract
// bases) with the class registry so a layout can create them by name. Safe to call again; the
// application object calls it when it starts.
void RegisterStandardControls();
// Registers TImage, TPanel and their bases with the class registry. Safe to call again.
void RegisterExtControls();
// Registers TMenuItem, TMenu and TPopupMenu with the class registry.
void RegisterMenuClasses();

}  // namespace lumivane
