#pragma once
// When the glyphs of new text get baked. A bake rebuilds the whole atlas, tens
// to hundreds of milliseconds, and the frames that drew the new text are not
// shown until it is done. Baking right after each such frame would make a
// scroll through names in other scripts cost one rebuild per frame; instead
// new text met over a few frames is gathered into one bake.
#include <limits>

namespace corvane {

class GlyphBakePacing {
public:
    // Seconds the new text must have stopped coming before it is baked, the
    // least time between two bakes while more keeps coming, and the longest
    // any new text waits.
    static constexpr double kSettle = 0.05;
    static constexpr double kSpacing = 0.25;
    static constexpr double kLongestWait = 0.3;

    // A frame that ended at `now` met characters without glyphs.
    void met(double now);
    // The atlas was rebuilt at `now` with everything met so far.
    void baked(double now);
    // When the waiting glyphs are to be baked; infinity when none wait.
    double due_at() const;

private:
    static constexpr double kNever = std::numeric_limits<double>::infinity();
    double first_met_ = kNever;
    double last_met_ = -kNever;
    double last_baked_ = -kNever;
};

}  // namespace corvane
