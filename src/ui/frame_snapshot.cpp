#include "ui/frame_snapshot.h"

#include <cstring>

namespace corvane {

namespace {

template <typename T>
void copy_into(ImVector<T>& to, const ImVector<T>& from) {
    to.resize(from.Size);  // keeps the memory it has when that is enough
    if (from.Size > 0) std::memcpy(to.Data, from.Data, static_cast<std::size_t>(from.Size) * sizeof(T));
}

}  // namespace

void FrameSnapshot::keep(const ImDrawData& frame) {
    const std::size_t n = static_cast<std::size_t>(frame.CmdListsCount);
    while (lists_.size() < n) lists_.push_back(std::make_unique<ImDrawList>(ImGui::GetDrawListSharedData()));
    pointers_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const ImDrawList& from = *frame.CmdLists[i];
        ImDrawList& to = *lists_[i];
        copy_into(to.CmdBuffer, from.CmdBuffer);
        copy_into(to.IdxBuffer, from.IdxBuffer);
        copy_into(to.VtxBuffer, from.VtxBuffer);
        to.Flags = from.Flags;
        pointers_[i] = &to;
    }
    data_ = frame;
    data_.CmdLists = pointers_.data();
}

}  // namespace corvane
