#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumivane {

namespace x11 {

// A text another program sends us, gathered piece by piece, bounded in size and in time: the
// text is cut once it passes `cap` bytes (at a character boundary, as a text sent in one piece
// is), and the transfer is given up when no piece came for `stallMs` or the whole took longer
// than `overallMs`. Times are the driver's clock, in milliseconds.
class IncomingText {
public:
    enum class TState { Waiting, Done, Failed };

    IncomingText(size_t cap, int64_t now, int64_t stallMs, int64_t overallMs);

    // A piece has come: an empty one ends the transfer. Past the cap the transfer ends at once
    // with what the cap holds; the sender is not waited for.
    void Add(std::string_view piece, int64_t now);
    // The sender answered, but with nothing we can use.
    void Fail() { FState = TState::Failed; }
    // Gives up the transfer once a deadline has passed; true while it is still waited for.
    bool StillWaiting(int64_t now);
    // The nearer of the two deadlines.
    int64_t Deadline() const;

    TState State() const { return FState; }
    // The text so far (whole characters, at most `cap` bytes once done).
    const std::string& Text() const { return FText; }

private:
    void Finish();

    std::string FText;
    size_t FCap;
    int64_t FLastStep;
    int64_t FGiveUpAt;
    int64_t FStallMs;
    TState FState = TState::Waiting;
};

} // namespace x11

}  // namespace lumivane
