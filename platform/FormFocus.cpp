// The keyboard among a form's controls: the native children and the painted ones the application
// presents (a link, the cells of a grid) share one tab order, and what each key does is decided
// here, the same on every window system.
#include "platform/Form.hpp"

#include <algorithm>

namespace tk {

namespace {

// Black with a white line inside: clear on the grey board and on the dark strip alike.
constexpr Rgb kFocusOuter{0, 0, 0};
constexpr Rgb kFocusInner{255, 255, 255};

bool usable(const Control& c) {
    return c.visible() && c.enabled();
}

} // namespace

const Form::Presented* Form::presentation(const Control& c) const {
    for (const auto& p : presented_)
        if (p.control == c.name() && p.index == c.index() && p.how.role != Presentation::Role::Mark)
            return &p;
    return nullptr;
}

int Form::cellAt(int row, int column) const {
    for (const auto& p : presented_)
        if (p.how.role == Presentation::Role::Cell && p.how.row == row && p.how.column == column)
            if (const Control* c = loadedControl(p.control, p.index); c && usable(*c))
                return idOf(*c);
    return -1;
}

std::vector<int> Form::focusStops() const {
    std::vector<std::pair<int, int>> stops; // tab index, id
    for (const auto& c : controls_)
        if (c->nativeChild() && c->tabIndex() >= 0 && usable(*c))
            stops.emplace_back(c->tabIndex(), idOf(*c));
    for (const auto& p : presented_) {
        const Control* c = loadedControl(p.control, p.index);
        if (!c || !usable(*c)) continue;
        if (p.how.role == Presentation::Role::Link && p.how.tabIndex >= 0)
            stops.emplace_back(p.how.tabIndex, idOf(*c));
    }
    if (gridTabIndex_ >= 0 && !gridName_.empty()) {
        int cell = currentCell_;
        if (cell < 0 || !usable(*controls_[static_cast<std::size_t>(cell)])) cell = cellAt(0, 0);
        if (cell >= 0) stops.emplace_back(gridTabIndex_, cell);
    }
    sortFew(stops.begin(), stops.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> ids;
    for (const auto& s : stops)
        ids.push_back(s.second);
    return ids;
}

void Form::moveFocus(int id) {
    if (id == focus_) return;
    const int from = focus_;
    focus_ = id;
    native_->setFocus(id);
    focusMoved(from);
}

void Form::focusChanged(int id) {
    if (!loaded_ || id == focus_ || id < 0 || id >= static_cast<int>(controls_.size())) return;
    const Control& c = *controls_[static_cast<std::size_t>(id)];
    const Presented* p = presentation(c);
    const bool painted = p && (p->how.role == Presentation::Role::Cell ||
                               (p->how.role == Presentation::Role::Link && p->how.tabIndex >= 0));
    if (!c.nativeChild() && !painted) return;
    const int from = focus_;
    focus_ = id;
    focusMoved(from);
}

void Form::focusMoved(int from) {
    if (focus_ >= 0)
        if (const Presented* p = presentation(*controls_[static_cast<std::size_t>(focus_)]);
            p && p->how.role == Presentation::Role::Cell)
            currentCell_ = focus_;
    // Only painted controls show the core's indicator; native ones draw their own.
    for (int id : {from, focus_}) {
        if (id < 0) continue;
        const Control& c = *controls_[static_cast<std::size_t>(id)];
        if (c.painted()) {
            RectPx box = c.pixelArea();
            box = {box.x - 5, box.y - 5, box.width + 10, box.height + 10};
            native_->invalidate(box);
        }
    }
    noteChanges();
}

bool Form::keyDown(Key key, int shift) {
    if (!loaded_ || !native_) return false;
    if (key == Key::Tab) {
        const std::vector<int> stops = focusStops();
        if (stops.empty()) return true;
        const auto n = static_cast<int>(stops.size());
        const auto at = std::find(stops.begin(), stops.end(), focus_);
        int i = at == stops.end() ? -1 : static_cast<int>(at - stops.begin());
        if (i < 0) {
            // The focus is on a cell that is not the grid's stop, or nowhere.
            const int cell = currentCell_;
            const auto c = std::find(stops.begin(), stops.end(), cell);
            i = c == stops.end() ? ((shift & keys::Shift) ? 0 : n - 1)
                                 : static_cast<int>(c - stops.begin());
        }
        i = (shift & keys::Shift) ? (i + n - 1) % n : (i + 1) % n;
        moveFocus(stops[static_cast<std::size_t>(i)]);
        return true;
    }
    if (focus_ < 0) return false;
    const Control& c = *controls_[static_cast<std::size_t>(focus_)];
    const Presented* p = presentation(c);
    if (!p || c.nativeChild()) return false; // the native child's own keys
    const bool press =
        key == Key::Enter || (key == Key::Space && p->how.role != Presentation::Role::Link);
    if (press) {
        accessibleAction(focus_); // the mouse's own path
        return true;
    }
    if (p->how.role != Presentation::Role::Cell) return false;
    int row = p->how.row, column = p->how.column;
    const bool whole = (shift & keys::Ctrl) != 0;
    switch (key) {
    case Key::Left:
        --column;
        break;
    case Key::Right:
        ++column;
        break;
    case Key::Up:
        --row;
        break;
    case Key::Down:
        ++row;
        break;
    case Key::Home:
        column = 0;
        if (whole) row = 0;
        break;
    case Key::End:
        for (const auto& q : presented_)
            if (q.how.role == Presentation::Role::Cell) {
                column = std::max(column, q.how.column);
                if (whole) row = std::max(row, q.how.row);
            }
        break;
    default:
        return false;
    }
    // The edges hold: a player counting steps always knows where the cursor is.
    const int to = cellAt(row, column);
    if (to >= 0) moveFocus(to);
    return true;
}

// A cell's indicator lies inside it, clear of the grid's strokes; a link's around its text.
std::optional<RectPx> Form::focusArea() const {
    if (focus_ < 0) return std::nullopt;
    const Control& c = *controls_[static_cast<std::size_t>(focus_)];
    if (!c.painted() || !c.visible()) return std::nullopt;
    const RectPx b = c.pixelArea();
    const Presented* p = presentation(c);
    if (p && p->how.role == Presentation::Role::Cell) return b;
    return RectPx{b.x - 4, b.y - 4, b.width + 8, b.height + 8};
}

void Form::paintFocus(Canvas& canvas) const {
    const auto area = focusArea();
    if (!area) return;
    const RectPx& b = *area;
    canvas.drawFrame({b.x + 1, b.y + 1, b.width - 2, b.height - 2}, kFocusOuter, 2);
    canvas.drawFrame({b.x + 3, b.y + 3, b.width - 6, b.height - 6}, kFocusInner, 1);
}

} // namespace tk
