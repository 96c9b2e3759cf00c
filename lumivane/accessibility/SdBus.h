#pragma once
#include <systemd/sd-bus.h>

namespace lumivane {

// The part of sd-bus the accessibility bridge calls, taken from libsystemd.so.0 when a bus is
// there to talk to. Programs linked statically have no libsystemd archive to link, and a program
// without an accessibility bus should not map the library at all: loaded on demand, the same in
// every build. sd-bus's header gives the types only.
struct TSdBus {
    decltype(&sd_bus_new) New;
    decltype(&sd_bus_set_address) SetAddress;
    decltype(&sd_bus_set_bus_client) SetBusClient;
    decltype(&sd_bus_start) Start;
    decltype(&sd_bus_open_user) OpenUser;
    decltype(&sd_bus_flush_close_unref) FlushCloseUnref;
    decltype(&sd_bus_get_fd) GetFd;
    decltype(&sd_bus_process) Process;
    decltype(&sd_bus_get_events) GetEvents;
    decltype(&sd_bus_flush) Flush;
    decltype(&sd_bus_get_unique_name) GetUniqueName;
    decltype(&sd_bus_call_method) CallMethod;
    decltype(&sd_bus_add_fallback) AddFallback;
    decltype(&sd_bus_send) Send;
    decltype(&sd_bus_error_free) ErrorFree;
    decltype(&sd_bus_message_unref) MessageUnref;
    decltype(&sd_bus_message_get_path) GetPath;
    decltype(&sd_bus_message_get_interface) GetInterface;
    decltype(&sd_bus_message_get_member) GetMember;
    decltype(&sd_bus_message_get_type) GetType;
    decltype(&sd_bus_message_new_method_return) NewMethodReturn;
    decltype(&sd_bus_message_new_method_errorf) NewMethodErrorf;
    decltype(&sd_bus_message_new_signal) NewSignal;
    decltype(&sd_bus_message_append) Append;
    decltype(&sd_bus_message_open_container) OpenContainer;
    decltype(&sd_bus_message_close_container) CloseContainer;
    decltype(&sd_bus_message_read) Read;
    decltype(&sd_bus_message_enter_container) EnterContainer;
    decltype(&sd_bus_message_exit_container) ExitContainer;
    decltype(&sd_bus_message_peek_type) PeekType;

    // Loads the library and every function; false, with nothing kept loaded, when one is missing.
    bool Load();
};

}  // namespace lumivane
