#include "sound/builtin_sounds.h"

namespace corvane {

const std::array<BuiltinSound, kBuiltinSoundCount>& builtin_sounds() {
    static const std::array<BuiltinSound, kBuiltinSoundCount> table{{
        {"chime", "Corvane chime",
         {{783.99f, 0.0f, 0.32f, 1.0f, true}, {1046.5f, 0.12f, 0.40f, 1.0f, true}},
         {},
         44100},
        {"sonar", "Sonar ping",
         {{1318.51f, 0.0f, 0.45f, 1.0f, false}},
         {{0.22f, 0.35f}, {0.44f, 0.12f}},
         57329},
        {"pop", "Soft pop", {{587.33f, 0.0f, 0.07f, 1.0f, true}}, {}, 15435},
        {"rising", "Rising alert",
         {{1046.5f, 0.0f, 0.18f, 0.8f, true},
          {1318.51f, 0.09f, 0.18f, 0.8f, true},
          {1567.98f, 0.18f, 0.22f, 0.9f, true}},
         {},
         35280},
    }};
    return table;
}

const BuiltinSound& builtin_sound(std::size_t index) {
    const auto& table = builtin_sounds();
    return table[index < table.size() ? index : 0];
}

}  // namespace corvane
