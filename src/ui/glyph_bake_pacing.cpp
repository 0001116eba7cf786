#include "ui/glyph_bake_pacing.h"

#include <algorithm>

namespace corvane {

void GlyphBakePacing::met(double now) {
    first_met_ = std::min(first_met_, now);
    last_met_ = std::max(last_met_, now);
}

void GlyphBakePacing::baked(double now) {
    first_met_ = kNever;
    last_met_ = -kNever;
    last_baked_ = now;
}

double GlyphBakePacing::due_at() const {
    if (first_met_ == kNever) return kNever;
    return std::min(first_met_ + kLongestWait, std::max(last_met_ + kSettle, last_baked_ + kSpacing));
}

}  // namespace corvane
