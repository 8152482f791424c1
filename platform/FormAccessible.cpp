// A form as assistive technology is told of it: one tree of nodes built from the controls and
// the application's presentation, and the list of what changed, with what is to be spoken.
#include "platform/Form.hpp"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

namespace tk {

namespace {

using Node = AccessibleNode;
using Change = AccessibleChange;

// Only so many changes wait for a backend that never asks.
constexpr std::size_t kMaxPending = 64;

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

void append(std::string& text, std::string_view more, std::string_view separator) {
    if (more.empty()) return;
    if (!text.empty()) text += separator;
    text += more;
}

RectPx unite(const RectPx& a, const RectPx& b) {
    if (a.width <= 0 && a.height <= 0) return b;
    const double left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    const double right = std::max(a.x + a.width, b.x + b.width);
    const double bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

int addNode(AccessibleTree& tree, Node node, int parent) {
    node.parent = parent;
    tree.nodes.push_back(std::move(node));
    const auto index = static_cast<int>(tree.nodes.size()) - 1;
    tree.nodes[static_cast<std::size_t>(parent)].children.push_back(index);
    return index;
}

} // namespace

const AccessibleNode* AccessibleTree::find(int id) const {
    for (const auto& n : nodes)
        if (n.id == id) return &n;
    return nullptr;
}

const AccessibleNode* AccessibleTree::focused() const {
    for (const auto& n : nodes)
        if (n.focused) return &n;
    return nullptr;
}

std::string Form::alertText() const {
    struct TextLine {
        bool first;
        int top, left;
        std::string text;
    };
    std::vector<TextLine> lines;
    bool any = false;
    for (const auto& p : presented_) {
        if (p.how.role != Presentation::Role::Text) continue;
        any = true;
        const auto* l = as<Label>(loadedControl(p.control, p.index));
        if (!l || !l->visible()) continue;
        // A result written over the design's text is the news; the rest reads top down.
        const auto designed =
            std::find_if(design_.controls.begin(), design_.controls.end(), [&](const auto& d) {
                return d.name == l->name() && d.index == l->index();
            });
        const bool written =
            designed == design_.controls.end() || designed->caption != l->caption();
        lines.push_back({p.how.lead && written, l->top(), l->left(), trimmed(l->caption())});
    }
    sortFew(lines.begin(), lines.end(), [](const TextLine& a, const TextLine& b) {
        return std::tie(b.first, a.top, a.left) < std::tie(a.first, b.top, b.left);
    });
    std::string text;
    for (const auto& line : lines)
        append(text, line.text, "\n");
    if (!any)
        for (const auto& c : controls_)
            if (c->kind() == ControlKind::Label && c->visible())
                append(text, trimmed(static_cast<const Label&>(*c).caption()), "\n");
    return text;
}

void Form::alerted(std::string_view firstLine) {
    if (!loaded_ || gridName_.empty()) return;
    lastResult_ = firstLine;
    noteChanges();
}

AccessibleTree Form::accessibleTree() const {
    AccessibleTree tree;
    Node window;
    window.role = alert_ ? Node::Role::Alert : Node::Role::Window;
    window.name = alert_ ? alertText() : std::string(design_.caption);
    window.bounds = {0, 0, twipsToPixels(design_.width), twipsToPixels(design_.height)};
    tree.nodes.push_back(std::move(window));
    if (!loaded_) return tree;

    for (const auto& c : controls_) {
        const std::optional<NativeChild> child = c->nativeForm();
        if (!child || !c->visible()) continue;
        Node n;
        n.id = idOf(*c);
        n.native = true;
        n.bounds = c->pixelArea();
        n.enabled = c->enabled();
        n.focusable = c->tabIndex() >= 0;
        n.focused = n.id == focus_;
        n.action = n.enabled;
        n.name = child->caption;
        n.checked = child->checked;
        switch (child->kind) {
        case NativeChild::Kind::CheckBox:
            n.role = Node::Role::CheckBox;
            break;
        case NativeChild::Kind::PushButton:
            n.role = Node::Role::PushButton;
            break;
        }
        addNode(tree, std::move(n), 0);
    }

    Node grid;
    grid.id = Node::kGrid;
    grid.role = Node::Role::Grid;
    grid.name = gridName_;
    std::vector<Node> cells;
    for (const auto& p : presented_) {
        const Control* c = loadedControl(p.control, p.index);
        if (!c) continue;
        if (p.how.role == Presentation::Role::Mark) {
            if (c->visible()) append(grid.description, p.how.name, ", ");
            continue;
        }
        const auto* label = as<Label>(c);
        if (!label || !c->visible()) continue;
        Node n;
        n.id = idOf(*c);
        n.bounds = c->pixelArea();
        n.enabled = c->enabled();
        n.focused = n.id == focus_;
        switch (p.how.role) {
        case Presentation::Role::Cell:
            n.role = Node::Role::Cell;
            n.name = p.how.name;
            n.value = label->caption().empty() ? "empty" : label->caption();
            n.row = p.how.row;
            n.column = p.how.column;
            n.focusable = true;
            n.action = c->enabled();
            grid.bounds = unite(grid.bounds, n.bounds);
            cells.push_back(std::move(n));
            continue;
        case Presentation::Role::Link:
            n.role = Node::Role::Link;
            n.name = label->caption();
            n.focusable = p.how.tabIndex >= 0;
            n.action = c->enabled();
            break;
        default:
            n.role = Node::Role::Text;
            n.name = label->caption();
            if (const auto* more = as<Label>(loadedControl(p.how.joins, -1)))
                n.name += more->caption();
            break;
        }
        if (alert_ && n.role == Node::Role::Text) continue; // the alert's name says them
        addNode(tree, std::move(n), 0);
    }
    if (!gridName_.empty() && !cells.empty()) {
        append(grid.description, lastResult_, ", ");
        const int at = addNode(tree, std::move(grid), 0);
        for (auto& cell : cells)
            addNode(tree, std::move(cell), at);
    }
    return tree;
}

// A text said twice since the last look is said once, as it now reads: after a move and the
// computer's answer, the turn is told once.
std::vector<AccessibleChange> Form::accessibleChanges() {
    std::vector<Change> out;
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        const Change& c = pending_[i];
        const bool later = c.kind == Change::Kind::Announce &&
                           std::any_of(pending_.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                       pending_.end(), [&](const Change& d) {
                                           return d.kind == Change::Kind::Announce && d.id == c.id;
                                       });
        if (!later) out.push_back(c);
    }
    pending_.clear();
    return out;
}

// Compares the tree with the one last seen, and notes what a listener would want to hear: a
// mark placed ("X in centre"), a live text's new words, the focus.
void Form::noteChanges() {
    if (!loaded_) return;
    AccessibleTree now = accessibleTree();
    const bool first = !reported_;
    if (first) reported_ = AccessibleTree{};
    const AccessibleTree& before = *reported_;
    std::vector<Change> found;

    // A move once the alert has gone ends the life of the last result (the computer's answer
    // to a winning move does not).
    bool moved = false;
    for (const auto& n : now.nodes)
        if (const Node* b = before.find(n.id);
            b && n.role == Node::Role::Cell && b->value == "empty" && n.value != "empty")
            moved = true;
    if (moved && !lastResult_.empty() && !platform_.alerting()) {
        lastResult_.clear();
        now = accessibleTree();
    }

    bool sameShape = now.nodes.size() == before.nodes.size();
    for (std::size_t i = 0; sameShape && i < now.nodes.size(); ++i)
        sameShape = now.nodes[i].id == before.nodes[i].id;
    if (!sameShape && !first) found.push_back({Change::Kind::Structure, Node::kWindow, {}});

    for (const auto& n : now.nodes) {
        const Node* b = before.find(n.id);
        if (!b) continue;
        if (n.name != b->name) {
            found.push_back({Change::Kind::Name, n.id, {}});
            if (n.role == Node::Role::Text)
                for (const auto& p : presented_)
                    if (const Control* c = loadedControl(p.control, p.index);
                        p.how.live && c && idOf(*c) == n.id)
                        found.push_back({Change::Kind::Announce, n.id, n.name});
        }
        if (n.value != b->value) {
            found.push_back({Change::Kind::Value, n.id, {}});
            if (b->value == "empty")
                found.push_back({Change::Kind::Announce, n.id, n.value + " in " + n.name});
        }
        if (n.description != b->description) found.push_back({Change::Kind::Description, n.id, {}});
        if (n.checked != b->checked || n.enabled != b->enabled)
            found.push_back({Change::Kind::State, n.id, {}});
    }
    const Node* focusNow = now.focused();
    const Node* focusBefore = before.focused();
    if (focusNow && (!focusBefore || focusBefore->id != focusNow->id || first))
        found.push_back({Change::Kind::Focus, focusNow->id, {}});

    reported_ = std::move(now);
    if (found.empty()) return;
    for (auto& c : found)
        pending_.push_back(std::move(c));
    if (pending_.size() > kMaxPending)
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(
                                                                pending_.size() - kMaxPending));
    native_->accessibleChanged();
}

} // namespace tk
