// Feeds arbitrary bytes as text to everything that decodes it: the replacement of bad bytes,
// character offsets, grapheme clusters (forward and backward walks must agree), DrawText's
// layout of lines, prefixes, wrapping and ellipsis, the edit engine's keys, limit and case, and
// the validating edit's rules with the bytes as the custom set. Nothing may crash, loop, read out
// of bounds, or leave a position inside a character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "lumivane/controls/ValidateEditRules.h"
#include "lumivane/gfx/raster/DeviceContext.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/gfx/text/Font.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/gfx/text/Unicode.h"
#include "lumivane/windows/EditEngine.h"

using namespace lumivane;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

void Decoding(const std::string& s) {
    const std::string valid = ValidUtf8(s);
    Check(IsValidUtf8(valid));
    Check(CountChars(s) == CountChars(valid));
    Check(IsValidUtf8(s) == (s == valid));
    for (size_t n = 0; n <= s.size() && n < 64; ++n) {
        const size_t fit = FitUtf8(s, n);
        Check(fit <= n);
        Check(ByteToChar(s, fit) <= CountChars(s));
    }
    std::vector<size_t> forward{0}, backward{s.size()};
    for (size_t i = 0; i < s.size();) {
        const size_t next = NextCluster(s, i);
        Check(next > i);
        forward.push_back(i = next);
    }
    for (size_t i = s.size(); i > 0;) {
        const size_t prev = PrevCluster(s, i);
        Check(prev < i);
        backward.insert(backward.begin(), i = prev);
    }
    Check(forward == backward);
}

void Drawing(const std::string& s) {
    Surface surface(120, 40);
    DeviceContext dc(&surface);
    for (unsigned format : {0u, unsigned{DT_WORDBREAK}, unsigned{DT_SINGLELINE | DT_END_ELLIPSIS | DT_CENTER},
                            unsigned{DT_NOPREFIX | DT_END_ELLIPSIS}, unsigned{DT_CALCRECT | DT_WORDBREAK}}) {
        RECT r{2, 2, 60, 38};
        DrawTextA(&dc, s.data(), static_cast<int>(s.size()), &r, format);
    }
    TextOutA(&dc, -5, 3, s.data(), static_cast<int>(s.size()));
}

void Editing(const std::string& s) {
    EditEngine e;
    const size_t half = s.size() / 2;
    e.SetText(s.substr(0, half));
    e.SetLimit(static_cast<int>(s.size() % 13));
    e.SetCase(s.size() % 3 == 0 ? EditEngine::TCase::Upper : EditEngine::TCase::Lower);
    e.SetPasswordChar(s.size() % 5 == 0 ? U'\u2022' : 0);
    const auto measure = [](const std::string& t) { return static_cast<int>(t.size()); };
    e.SetMeasure(measure);
    for (size_t i = half; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        switch (b % 9) {
        case 0: e.ReplaceSel(s.substr(i, 4), true); break;
        case 1: e.DeleteBack(); break;
        case 2: e.DeleteForward(); break;
        case 3: e.MoveTo(e.NextPos(e.Caret()), b & 0x10); break;
        case 4: e.MoveTo(e.PrevPos(e.Caret()), b & 0x10); break;
        case 5: e.SetSel(b, b / 3); break;
        case 6: e.SelectWordAt(e.XToPos(b)); break;
        case 7: e.MoveTo(e.WordLeft(e.Caret()), false); break;
        default: e.Undo(); break;
        }
        Check(IsValidUtf8(e.Text()));
        Check(FitUtf8(e.Text(), static_cast<size_t>(e.Caret())) == static_cast<size_t>(e.Caret()));
        Check(FitUtf8(e.Text(), static_cast<size_t>(e.Anchor())) == static_cast<size_t>(e.Anchor()));
        // What the engine remembers while the text changes agrees with counting afresh.
        const std::string shown = e.DisplayText();
        Check(e.PosToX(e.Caret()) == static_cast<int>(e.DisplayPos(e.Caret())));
        Check(e.PosToX(e.Length()) == static_cast<int>(shown.size()));
        Check(e.CharPos(e.Caret()) == static_cast<int>(ByteToChar(e.Text(), static_cast<size_t>(e.Caret()))));
        Check(e.CharCount() == static_cast<int>(CountChars(e.Text())));
        Check(e.BytePos(static_cast<int>(b % 7)) == static_cast<int>(CharToByte(e.Text(), b % 7)));
    }
}

void Filtering(const std::string& s) {
    const TValidateState state = TValidateState::Of(s, static_cast<int>(s.size() % 7), static_cast<int>(s.size() % 3));
    for (size_t i = 0; i < s.size() && i < 256;) {
        char32_t key = NextChar(s, i);
        char32_t k1 = key, k2 = key, k3 = key;
        ValidateRules::Custom(k1, s);
        ValidateRules::Float(k2, state);
        ValidateRules::HexUp(k3);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string s(reinterpret_cast<const char*>(data), size);
    Decoding(s);
    Drawing(s);
    Editing(s);
    Filtering(s);
    return 0;
}
