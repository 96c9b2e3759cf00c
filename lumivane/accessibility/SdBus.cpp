#include "lumivane/accessibility/SdBus.h"

#include <dlfcn.h>

namespace lumivane {

namespace {
template <class F>
bool Take(void* lib, const char* name, F& out) {
    out = reinterpret_cast<F>(dlsym(lib, name));
    return out != nullptr;
}
}  // namespace

bool TSdBus::Load() {
    // Never unloaded once in use: the bridge lives until the program ends.
    void* lib = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return false;
    const bool all = Take(lib, "sd_bus_new", New) && Take(lib, "sd_bus_set_address", SetAddress) &&
                     Take(lib, "sd_bus_set_bus_client", SetBusClient) && Take(lib, "sd_bus_start", Start) &&
                     Take(lib, "sd_bus_open_user", OpenUser) &&
                     Take(lib, "sd_bus_flush_close_unref", FlushCloseUnref) && Take(lib, "sd_bus_get_fd", GetFd) &&
                     Take(lib, "sd_bus_process", Process) && Take(lib, "sd_bus_get_events", GetEvents) &&
                     Take(lib, "sd_bus_flush", Flush) && Take(lib, "sd_bus_get_unique_name", GetUniqueName) &&
                     Take(lib, "sd_bus_call_method", CallMethod) && Take(lib, "sd_bus_add_fallback", AddFallback) &&
                     Take(lib, "sd_bus_send", Send) && Take(lib, "sd_bus_error_free", ErrorFree) &&
                     Take(lib, "sd_bus_message_unref", MessageUnref) && Take(lib, "sd_bus_message_get_path", GetPath) &&
                     Take(lib, "sd_bus_message_get_interface", GetInterface) &&
                     Take(lib, "sd_bus_message_get_member", GetMember) && Take(lib, "sd_bus_message_get_type", GetType) &&
                     Take(lib, "sd_bus_message_new_method_return", NewMethodReturn) &&
                     Take(lib, "sd_bus_message_new_method_errorf", NewMethodErrorf) &&
                     Take(lib, "sd_bus_message_new_signal", NewSignal) && Take(lib, "sd_bus_message_append", Append) &&
                     Take(lib, "sd_bus_message_open_container", OpenContainer) &&
                     Take(lib, "sd_bus_message_close_container", CloseContainer) &&
                     Take(lib, "sd_bus_message_read", Read) &&
                     Take(lib, "sd_bus_message_enter_container", EnterContainer) &&
                     Take(lib, "sd_bus_message_exit_container", ExitContainer) &&
                     Take(lib, "sd_bus_message_peek_type", PeekType);
    if (!all) dlclose(lib);
    return all;
}

}  // namespace lumivane
