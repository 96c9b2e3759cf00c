// What other programs send the accessibility bridge that it reads itself: object paths, and the
// texts whose changes it reports. A path never names an object it could not have given; a text
// change, applied to the old text, always gives the new one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lumivane/accessibility/ObjectPath.h"
#include "lumivane/accessibility/TextChange.h"
#include "lumivane/gfx/text/TextEncoding.h"

using namespace lumivane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const TObjectPath p = ParseObjectPath(input);
    if (p.Kind == TObjectPath::Control && ControlObjectPath(p.Id) != input) std::abort();
    // The input split in two at its first zero byte: the text before and after a change.
    const size_t cut = input.find('\0');
    const std::string_view was = input.substr(0, cut), now = cut == std::string_view::npos ? "" : input.substr(cut + 1);
    const TTextChange c = DiffText(was, now);
    const size_t at = CharToByte(now, static_cast<size_t>(c.At));
    if (at > was.size() || was.substr(at, c.Removed.size()) != c.Removed) std::abort();
    const std::string rebuilt = std::string(was.substr(0, at)) + c.Inserted + std::string(was.substr(at + c.Removed.size()));
    if (rebuilt != now) std::abort();
    return 0;
}
