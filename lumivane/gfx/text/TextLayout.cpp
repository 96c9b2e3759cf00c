#include "lumivane/gfx/text/TextLayout.h"

#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/gfx/text/FontFace.h"
#include "lumivane/gfx/text/Unicode.h"

namespace lumivane {

namespace {

// '&' marks the next character (the whole cluster) as the accelerator, "&&" is one ampersand,
// a trailing '&' goes.
TextLine ResolvePrefixes(std::string_view text, unsigned format) {
    TextLine out;
    if (format & DT_NOPREFIX || text.find('&') == std::string_view::npos) {
        out.text.assign(text);
        out.accel.assign(text.size(), false);
        return out;
    }
    const bool show = !(format & DT_HIDEPREFIX);
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '&') {
            out.text += text[i++];
            out.accel.push_back(false);
            continue;
        }
        if (++i >= text.size()) break;
        const size_t end = text[i] == '&' ? i + 1 : NextCluster(text, i);
        out.text.append(text.substr(i, end - i));
        out.accel.insert(out.accel.end(), end - i, show && text[i] != '&');
        i = end;
    }
    return out;
}

TextLine Slice(const TextLine& src, size_t from, size_t to, const Font& font) {
    TextLine l;
    l.text = src.text.substr(from, to - from);
    l.accel.assign(src.accel.begin() + static_cast<ptrdiff_t>(from), src.accel.begin() + static_cast<ptrdiff_t>(to));
    l.width = font.Width(l.text);
    return l;
}

// Breaks one paragraph at spaces. The paragraph's own leading spaces stay (an indented first
// line stays indented); lines made by wrapping drop the spaces at the break. A word wider than
// the line gets a line of its own and is clipped there.
void Wrap(const TextLine& para, const Font& font, int width, std::vector<TextLine>& out) {
    const std::string& s = para.text;
    const size_t n = s.size();
    if (n == 0) {
        out.push_back(para);
        return;
    }
    size_t i = 0;
    bool first = true;
    while (i < n) {
        if (!first) {
            while (i < n && s[i] == ' ') ++i;
            if (i >= n) break;
        }
        const size_t start = i;
        size_t end = n, next = n;
        size_t lastBreak = n; // start of the last run of spaces that follows a word
        bool ink = false;
        int w = 0;
        for (size_t j = start; j < n;) {
            if (s[j] == ' ') {
                if (ink && s[j - 1] != ' ') lastBreak = j;
                w += font.GlyphOf(U' ').advance;
                ++j;
                continue;
            }
            const size_t after = NextCluster(s, j);
            const int adv = font.Width(std::string_view(s).substr(j, after - j));
            if (w + adv > width && ink) {
                if (lastBreak != n) {
                    end = next = lastBreak;
                } else {
                    // Only one word so far and it does not fit: keep it whole.
                    size_t k = j;
                    while (k < n && s[k] != ' ') ++k;
                    end = next = k;
                }
                break;
            }
            ink = true;
            w += adv;
            j = after;
        }
        out.push_back(Slice(para, start, end, font));
        i = next;
        first = false;
    }
}

// Cuts a line that is wider than `width` after the last whole cluster that leaves room for "...".
void Ellipsis(TextLine& line, const Font& font, int width) {
    if (line.width <= width) return;
    const std::string dots = "...";
    const int room = width - font.Width(dots);
    size_t cut = 0;
    int w = 0;
    while (cut < line.text.size()) {
        const size_t after = NextCluster(line.text, cut);
        const int adv = font.Width(std::string_view(line.text).substr(cut, after - cut));
        if (w + adv > room) break;
        w += adv;
        cut = after;
    }
    line.text.resize(cut);
    line.accel.resize(cut);
    line.text += dots;
    line.accel.insert(line.accel.end(), dots.size(), false);
    line.width = font.Width(line.text);
}

} // namespace

std::vector<TextLine> LayoutText(const Font& font, std::string_view text, int width, unsigned format) {
    TextLine all = ResolvePrefixes(text, format);
    std::vector<TextLine> lines;
    if (format & DT_SINGLELINE) {
        all.width = font.Width(all.text);
        if (format & DT_END_ELLIPSIS) Ellipsis(all, font, width);
        lines.push_back(std::move(all));
        return lines;
    }
    // CR LF, a lone CR and a lone LF each end a paragraph.
    size_t from = 0;
    const std::string& s = all.text;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i < s.size() && s[i] != '\r' && s[i] != '\n') continue;
        TextLine para = Slice(all, from, i, font);
        if (format & DT_WORDBREAK) {
            Wrap(para, font, width, lines);
        } else {
            if (format & DT_END_ELLIPSIS) Ellipsis(para, font, width);
            lines.push_back(std::move(para));
        }
        if (i + 1 < s.size() && s[i] == '\r' && s[i + 1] == '\n') ++i;
        from = i + 1;
    }
    return lines;
}

}  // namespace lumivane
