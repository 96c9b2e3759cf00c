#include "lumivane/accessibility/TextChange.h"

#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace {
bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

TTextChange DiffText(std::string_view Was, std::string_view Now) {
    size_t head = 0;
    while (head < Was.size() && head < Now.size() && Was[head] == Now[head]) ++head;
    size_t tail = 0;
    while (tail < Was.size() - head && tail < Now.size() - head &&
           Was[Was.size() - 1 - tail] == Now[Now.size() - 1 - tail])
        ++tail;
    // Whole characters: the run starts and ends on a character's first byte in both texts
    // (their bytes there are the same).
    while (head > 0 && ((head < Now.size() && Continuation(Now[head])) || (head < Was.size() && Continuation(Was[head]))))
        --head;
    while (tail > 0 && Continuation(Now[Now.size() - tail])) --tail;
    TTextChange change;
    change.At = static_cast<int>(ByteToChar(Now, head));
    change.Removed = std::string(Was.substr(head, Was.size() - head - tail));
    change.Inserted = std::string(Now.substr(head, Now.size() - head - tail));
    return change;
}

}  // namespace lumivane
