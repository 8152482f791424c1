#include "QtAccessible.hpp"

#include "QtPlatform.hpp"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <algorithm>
#include <map>
#include <optional>

namespace tk::qt {

namespace {

using Node = AccessibleNode;

// Speaks announcements: Qt 6.4 has no announcement event, and a screen reader speaks a
// notification object as it shows.
constexpr int kAnnouncer = -3;

QString qstring(const std::string& s) {
    return QString::fromStdString(s);
}

std::optional<Node> nodeOf(const FormWindow* window, int id) {
    if (!window) return std::nullopt;
    const AccessibleTree tree = window->host().accessibleTree();
    if (const Node* n = tree.find(id)) return *n;
    return std::nullopt;
}

class FormAccessible;
FormAccessible* formOf(FormWindow* window);

// A painted node of the core's tree, found again in a fresh tree at each question.
class ItemAccessible final : public QAccessibleInterface,
                             public QAccessibleActionInterface,
                             public QAccessibleTableInterface,
                             public QAccessibleTableCellInterface {
public:
    ItemAccessible(FormWindow* window, int id)
        : window_(window)
        , id_(id) {}

    bool isValid() const override { return id_ == kAnnouncer || node().has_value(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override {
        const auto n = node();
        return n ? static_cast<int>(n->children.size()) : 0;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child) return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* c = child(i); c && c->rect().contains(x, y)) return c;
        return nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (id_ == kAnnouncer) return t == QAccessible::Name ? announcement_ : QString();
        const auto n = node();
        if (!n) return {};
        // A screen reader reads a table's row by its cells' names: each says its mark;
        // and a screen reader coming back to the grid says its name, not its description.
        if (t == QAccessible::Name) {
            if (n->role == Node::Role::Cell) return qstring(n->name + ", " + n->value);
            if (n->role == Node::Role::Grid && !n->description.empty())
                return qstring(n->name + ", " + n->description);
            return qstring(n->name);
        }
        if (t == QAccessible::Value) return qstring(n->value);
        if (t == QAccessible::Description) return qstring(n->description);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const auto n = node();
        if (!n || !window_) return {};
        const QRect local =
            QRectF(n->bounds.x, n->bounds.y, n->bounds.width, n->bounds.height).toAlignedRect();
        return QRect(window_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override {
        if (id_ == kAnnouncer) return QAccessible::Notification;
        const auto n = node();
        if (!n) return QAccessible::NoRole;
        switch (n->role) {
        case Node::Role::Grid:
            return QAccessible::Table;
        case Node::Role::Cell:
            return QAccessible::Cell;
        case Node::Role::Link:
            return QAccessible::Link;
        default:
            return QAccessible::StaticText;
        }
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        const auto n = node();
        if (!n) return s;
        s.readOnly = n->role != Node::Role::Link;
        s.linked = n->role == Node::Role::Link;
        s.disabled = !n->enabled;
        s.focusable = n->focusable;
        s.focused = n->focused && window_->hasFocus();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        const auto n = node();
        if (!n) return nullptr;
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        if (type == QAccessible::TableInterface && n->role == Node::Role::Grid)
            return static_cast<QAccessibleTableInterface*>(this);
        if (type == QAccessible::TableCellInterface && n->role == Node::Role::Cell)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        const auto n = node();
        return n && n->action ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        const auto n = node();
        if (name == pressAction() && n && n->action) window_->host().accessibleAction(id_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The grid: rows and columns as its cells say; nothing is ever selected.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        const auto cells = cellNodes();
        for (const Node& c : cells)
            if (c.row == row && c.column == column) return itemOf(c.id);
        return nullptr;
    }
    int rowCount() const override { return extent(&Node::row); }
    int columnCount() const override { return extent(&Node::column); }
    QString rowDescription(int) const override { return {}; }
    QString columnDescription(int) const override { return {}; }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int rowIndex() const override { return node() ? node()->row : -1; }
    int columnIndex() const override { return node() ? node()->column : -1; }
    int rowExtent() const override { return 1; }
    int columnExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    void announce(const QString& text) { announcement_ = text; }

private:
    std::optional<Node> node() const { return nodeOf(window_, id_); }
    std::vector<Node> cellNodes() const {
        std::vector<Node> cells;
        if (!window_) return cells;
        const AccessibleTree tree = window_->host().accessibleTree();
        const Node* self = tree.find(id_);
        if (self)
            for (int i : self->children)
                cells.push_back(tree.nodes[static_cast<std::size_t>(i)]);
        return cells;
    }
    int extent(int Node::*place) const {
        int n = 0;
        for (const Node& c : cellNodes())
            n = std::max(n, c.*place + 1);
        return n;
    }
    QAccessibleInterface* itemOf(int id) const;

    QPointer<FormWindow> window_;
    int id_;
    QString announcement_;
};

// The form's window: its children as the core's tree orders them, native ones as Qt describes
// them, then the announcer.
class FormAccessible final : public QAccessibleWidget {
public:
    explicit FormAccessible(FormWindow* window)
        : QAccessibleWidget(window, QAccessible::Window)
        , window_(window) {}
    ~FormAccessible() override {
        for (const auto& [key, id] : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }

    QAccessible::Role role() const override {
        return root().role == Node::Role::Alert ? QAccessible::AlertMessage : QAccessible::Window;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return qstring(root().name);
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return static_cast<int>(childIds().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto ids = childIds();
        return index >= 0 && index < static_cast<int>(ids.size())
                   ? of(ids[static_cast<std::size_t>(index)])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto ids = childIds();
        for (std::size_t i = 0; i < ids.size(); ++i)
            if (of(ids[i]) == child) return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        if (window_->hasFocus())
            if (const Node* n = window_->host().accessibleTree().focused(); n && !n->native)
                return of(n->id);
        return QAccessibleWidget::focusChild();
    }

    // A native node as Qt describes its widget; a painted one as the tree does.
    QAccessibleInterface* of(int id) const {
        if (id == kAnnouncer) return item(id);
        if (const auto n = nodeOf(window_, id); n && n->native) {
            QWidget* w = window_->child(id);
            return w ? QAccessible::queryAccessibleInterface(w) : nullptr;
        }
        return item(id);
    }
    ItemAccessible* item(int id) const {
        if (const auto it = ids_.find(id); it != ids_.end())
            return static_cast<ItemAccessible*>(QAccessible::accessibleInterface(it->second));
        auto* made = new ItemAccessible(window_, id); // owned by Qt's registry
        ids_[id] = QAccessible::registerAccessibleInterface(made);
        return made;
    }
    bool announcing() const { return announcing_; }
    void announce(const QString& text) {
        announcing_ = true;
        item(kAnnouncer)->announce(text);
    }

private:
    Node root() const { return window_->host().accessibleTree().nodes.front(); }
    std::vector<int> childIds() const {
        std::vector<int> ids;
        const AccessibleTree tree = window_->host().accessibleTree();
        for (int i : tree.nodes.front().children)
            ids.push_back(tree.nodes[static_cast<std::size_t>(i)].id);
        if (announcing_) ids.push_back(kAnnouncer);
        return ids;
    }

    FormWindow* window_;
    mutable std::map<int, QAccessible::Id> ids_; // made as they are first asked for
    bool announcing_ = false;
};

FormAccessible* formOf(FormWindow* window) {
    return window ? static_cast<FormAccessible*>(QAccessible::queryAccessibleInterface(window))
                  : nullptr;
}

QAccessibleInterface* ItemAccessible::parent() const {
    FormAccessible* form = formOf(window_);
    if (!form) return form;
    const AccessibleTree tree = window_->host().accessibleTree();
    const Node* n = tree.find(id_);
    if (!n || n->parent <= 0) return form;
    return form->of(tree.nodes[static_cast<std::size_t>(n->parent)].id);
}

QAccessibleInterface* ItemAccessible::child(int index) const {
    const auto n = node();
    if (!n || index < 0 || index >= static_cast<int>(n->children.size())) return nullptr;
    const AccessibleTree tree = window_->host().accessibleTree();
    const int at = n->children[static_cast<std::size_t>(index)];
    return formOf(window_)->of(tree.nodes[static_cast<std::size_t>(at)].id);
}

QAccessibleInterface* ItemAccessible::itemOf(int id) const {
    return formOf(window_)->of(id);
}

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<FormWindow*>(object)) return new FormAccessible(window);
    return nullptr;
}

void send(QAccessibleInterface* iface, QAccessible::Event type) {
    if (!iface) return;
    QAccessibleEvent event(iface, type);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installAccessibility() {
    QAccessible::installFactory(factory);
}

void forwardChanges(FormWindow& window) {
    const auto changes = window.host().accessibleChanges(); // drained even when nobody listens
    if (!QAccessible::isActive()) return;
    FormAccessible* form = formOf(&window);
    if (!form) return;
    QStringList said;
    for (const AccessibleChange& c : changes) {
        using Kind = AccessibleChange::Kind;
        const auto n = nodeOf(&window, c.id);
        const bool painted = n && !n->native;
        switch (c.kind) {
        case Kind::Name:
            if (c.id == Node::kWindow)
                send(form, QAccessible::NameChanged);
            else if (painted)
                send(form->of(c.id), QAccessible::NameChanged);
            break;
        case Kind::Value: // in a cell's name
            if (painted) send(form->of(c.id), QAccessible::NameChanged);
            break;
        case Kind::Description: // in the grid's name too
            if (painted) {
                send(form->of(c.id), QAccessible::DescriptionChanged);
                send(form->of(c.id), QAccessible::NameChanged);
            }
            break;
        case Kind::State:
            if (painted) {
                QAccessible::State s;
                s.disabled = true;
                QAccessibleStateChangeEvent event(form->of(c.id), s);
                QAccessible::updateAccessibility(&event);
            }
            break;
        case Kind::Focus:
            if (painted && window.hasFocus()) send(form->of(c.id), QAccessible::Focus);
            break;
        case Kind::Structure:
            send(form, QAccessible::ObjectReorder);
            break;
        case Kind::Announce:
            said << qstring(c.text);
            break;
        case Kind::Alert: {
            QAccessibleEvent event(&window, QAccessible::Alert);
            QAccessible::updateAccessibility(&event);
            break;
        }
        }
    }
    if (!said.isEmpty()) {
        const bool shown = form->announcing();
        form->announce(said.join(". "));
        if (!shown) send(form, QAccessible::ObjectReorder);
        send(form->item(kAnnouncer), QAccessible::ObjectShow);
    }
}

void focusReturned(FormWindow& window) {
    if (!QAccessible::isActive()) return;
    const Node* n = nullptr;
    const AccessibleTree tree = window.host().accessibleTree();
    n = tree.focused();
    if (n && !n->native)
        if (FormAccessible* form = formOf(&window)) send(form->of(n->id), QAccessible::Focus);
}

} // namespace tk::qt
