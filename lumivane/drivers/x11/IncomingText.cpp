#include "lumivane/drivers/x11/IncomingText.h"

#include <algorithm>

#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace x11 {

IncomingText::IncomingText(size_t cap, int64_t now, int64_t stallMs, int64_t overallMs)
    : FCap(cap), FLastStep(now), FGiveUpAt(now + overallMs), FStallMs(stallMs) {}

void IncomingText::Add(std::string_view piece, int64_t now) {
    if (FState != TState::Waiting) return;
    FLastStep = now;
    if (piece.empty()) {
        Finish();
        return;
    }
    // One byte past the cap is enough to know the text is longer than we take.
    FText.append(piece.substr(0, FCap + 1 - std::min(FCap + 1, FText.size())));
    if (FText.size() > FCap) Finish();
}

void IncomingText::Finish() {
    // A text cut at the cap loses the character it cut through, not a U+FFFD more.
    if (FText.size() > FCap) FText.resize(FitUtf8(FText, FCap));
    FState = TState::Done;
}

bool IncomingText::StillWaiting(int64_t now) {
    if (FState == TState::Waiting && now >= Deadline()) FState = TState::Failed;
    return FState == TState::Waiting;
}

int64_t IncomingText::Deadline() const { return std::min(FGiveUpAt, FLastStep + FStallMs); }

} // namespace x11

}  // namespace lumivane
