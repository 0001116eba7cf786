#pragma once
// A number for one object for as long as it lives, never given to another.
// A text field whose ImGui id is made from it edits that object's text only,
// however objects are added, removed or reordered around it: ImGui writes
// the text it is editing into whatever text is bound to its id, and an index
// or an address would pass to another object (a new one can be made where an
// old one was). UI thread only.
#include <memory>

namespace corvane {

// 0 for no object.
int lifetime_key(const std::shared_ptr<const void>& object);

}  // namespace corvane
