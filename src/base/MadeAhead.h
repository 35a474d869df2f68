#pragma once

// A value made on a thread of its own while the caller goes on, for a later step to take.

#include <future>
#include <system_error>
#include <utility>

namespace parvane {

template <typename Value>
class MadeAhead {
  public:
    // Drops what was made before and starts `make` on a thread of its own; false, with nothing
    // started, when no thread can be started.
    template <typename Make>
    bool Start(Make&& make) {
        Drop();
        try {
            made = std::async(std::launch::async, std::forward<Make>(make));
        } catch (const std::system_error&) {
            return false;
        }
        return true;
    }

    // Whether a value was started and not yet taken or dropped.
    bool Pending() const { return made.valid(); }
    // The value, once it is made; only while Pending.
    Value Take() { return made.get(); }
    // Waits for a value no one took, and drops it: the thread of std::async is joined when its
    // result is let go.
    void Drop() { made = {}; }

  private:
    std::future<Value> made;
};

}  // namespace parvane
