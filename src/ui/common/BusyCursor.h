#pragma once

#include <Qt>

namespace lumiset {

/// \brief The busy pointers one window has put up: each show() is taken down by
/// one hide(), and whatever is still up goes when the window does, so a window
/// closed in the middle of its work never leaves the whole program looking busy.
class BusyCursor {
public:
    BusyCursor() = default;
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    ~BusyCursor();

    void show(Qt::CursorShape shape = Qt::WaitCursor);
    /// Takes down the latest pointer this window put up; does nothing when none is.
    void hide();
    int depth() const { return depth_; }

    /// \brief Shows the busy pointer for as long as it lives.
    class Scope {
    public:
        Scope(BusyCursor& cursor, Qt::CursorShape shape) : cursor_(cursor) { cursor_.show(shape); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        ~Scope() { cursor_.hide(); }

    private:
        BusyCursor& cursor_;
    };
    [[nodiscard]] Scope scope(Qt::CursorShape shape = Qt::WaitCursor) { return Scope(*this, shape); }

private:
    int depth_ = 0;
};

} // namespace lumiset
