#include "ui/fonts.h"

#include <array>

namespace corvane {

namespace {
using F = FontFamily;
// Collected from every text the views draw (and the five text styles): 43
// family/size pairs.
constexpr std::array kSizes{
    FontId{F::Proportional, 10.5f}, FontId{F::Proportional, 11.0f}, FontId{F::Proportional, 11.5f},
    FontId{F::Proportional, 12.0f}, FontId{F::Proportional, 12.5f}, FontId{F::Proportional, 13.0f},
    FontId{F::Proportional, 13.5f},
    FontId{F::Medium, 11.0f},       FontId{F::Medium, 11.5f},       FontId{F::Medium, 12.0f},
    FontId{F::Medium, 12.5f},       FontId{F::Medium, 13.0f},       FontId{F::Medium, 13.5f},
    FontId{F::Medium, 20.0f},
    FontId{F::Semibold, 10.5f},     FontId{F::Semibold, 11.0f},     FontId{F::Semibold, 12.0f},
    FontId{F::Semibold, 12.5f},     FontId{F::Semibold, 13.0f},     FontId{F::Semibold, 14.0f},
    FontId{F::Semibold, 15.0f},     FontId{F::Semibold, 17.0f},     FontId{F::Semibold, 19.0f},
    FontId{F::Semibold, 20.0f},     FontId{F::Semibold, 24.0f},
    FontId{F::Monospace, 10.0f},    FontId{F::Monospace, 10.5f},    FontId{F::Monospace, 11.0f},
    FontId{F::Monospace, 11.5f},    FontId{F::Monospace, 12.0f},    FontId{F::Monospace, 12.5f},
    FontId{F::Monospace, 13.0f},    FontId{F::Monospace, 14.0f},
    FontId{F::MonoMedium, 8.0f},    FontId{F::MonoMedium, 11.0f},   FontId{F::MonoMedium, 11.5f},
    FontId{F::MonoMedium, 12.5f},   FontId{F::MonoMedium, 14.0f},   FontId{F::MonoMedium, 20.0f},
    FontId{F::MonoMedium, 26.0f},   FontId{F::MonoMedium, 28.0f},   FontId{F::MonoMedium, 30.0f},
    FontId{F::MonoMedium, 64.0f},
};
}  // namespace

std::span<const FontId> font_sizes_in_use() { return kSizes; }

}  // namespace corvane
