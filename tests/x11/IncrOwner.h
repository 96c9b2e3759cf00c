#pragma once
#include <cstddef>
#include <cstdint>
#include <string>


// Runs a minimal CLIPBOARD owner in the calling (child) process, with its own connection, that
// answers UTF8_STRING with the incremental protocol in pieces of `piece` bytes. Writes one byte
// to `readyFd` once it owns the clipboard; exits after one complete transfer (or 10 s idle).
// With `stopAfter` pieces sent it sends nothing more, as a stuck owner does.
[[noreturn]] void ServeClipboardIncrementally(const std::string& text, size_t piece, int readyFd,
                                              size_t stopAfter = SIZE_MAX);
