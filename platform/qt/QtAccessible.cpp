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

constexpr int kGrid = -1; // the key of the grid; items go by their control's id

QString qstring(const std::string& s) {
    return QString::fromStdString(s);
}

// An item of the view, or the grid, found again in a fresh view each time it is asked.
class ItemAccessible final : public QAccessibleInterface,
                             public QAccessibleActionInterface,
                             public QAccessibleTableInterface,
                             public QAccessibleTableCellInterface {
public:
    ItemAccessible(FormWindow* window, int key)
        : window_(window)
        , key_(key) {
        remember();
    }

    bool isValid() const override { return current().has_value(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        if (const auto item = current(); item && item->role == AccessibleItem::Role::Link)
            s.linked = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        if (type == QAccessible::TableInterface && key_ == kGrid)
            return static_cast<QAccessibleTableInterface*>(this);
        if (const auto item = current(); type == QAccessible::TableCellInterface && item &&
                                         item->role == AccessibleItem::Role::Cell)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        const auto item = current();
        return item && item->action ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name != pressAction() || !window_ || !window_->host()) return;
        if (const auto item = current(); item && item->action)
            window_->host()->accessibleAction(item->id);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The grid's rows and columns, read off its cells; nothing is ever selected.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int rowCount() const override { return extent(&AccessibleItem::row); }
    int columnCount() const override { return extent(&AccessibleItem::column); }
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
    int rowIndex() const override { return current() ? current()->row : -1; }
    int columnIndex() const override { return current() ? current()->column : -1; }
    int rowExtent() const override { return 1; }
    int columnExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // Sends what changed since assistive technology last heard of this item.
    void report() {
        const QString name = text(QAccessible::Name), value = text(QAccessible::Description);
        if (name != name_) {
            QAccessibleEvent event(this, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (value != value_) {
            QAccessibleEvent event(this, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
        }
        name_ = name;
        value_ = value;
    }

private:
    std::optional<AccessibleView> view() const {
        if (!window_ || !window_->host()) return std::nullopt;
        return window_->host()->accessibleView();
    }
    std::optional<AccessibleItem> current() const {
        const auto v = view();
        if (!v) return std::nullopt;
        if (key_ == kGrid) {
            if (v->gridName.empty()) return std::nullopt;
            return AccessibleItem{.name = v->gridName, .value = v->gridDescription};
        }
        for (const auto& item : v->items)
            if (item.id == key_) return item;
        return std::nullopt;
    }
    std::vector<int> cells() const {
        std::vector<int> ids;
        if (key_ != kGrid) return ids;
        if (const auto v = view())
            for (const auto& item : v->items)
                if (item.role == AccessibleItem::Role::Cell) ids.push_back(item.id);
        return ids;
    }
    int extent(int AccessibleItem::*place) const {
        int n = 0;
        if (const auto v = view(); v && key_ == kGrid)
            for (const auto& item : v->items)
                if (item.role == AccessibleItem::Role::Cell) n = std::max(n, item.*place + 1);
        return n;
    }
    void remember() {
        name_ = text(QAccessible::Name);
        value_ = text(QAccessible::Description);
    }

    QPointer<FormWindow> window_;
    int key_;
    QString name_, value_;
};

// The form's window: its native children as Qt knows them, then the painted items.
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
        return view().alert ? QAccessible::AlertMessage : QAccessible::Window;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return qstring(view().name);
        return QAccessibleWidget::text(t);
    }
    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(topKeys().size());
    }
    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets) return QAccessibleWidget::child(index);
        const auto keys = topKeys();
        const auto i = static_cast<std::size_t>(index - widgets);
        return i < keys.size() ? item(keys[i]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto keys = topKeys();
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (const auto it = ids_.find(keys[i]);
                it != ids_.end() && QAccessible::accessibleInterface(it->second) == child)
                return QAccessibleWidget::childCount() + static_cast<int>(i);
        return QAccessibleWidget::indexOfChild(child);
    }

    ItemAccessible* item(int key) const {
        if (const auto it = ids_.find(key); it != ids_.end())
            return static_cast<ItemAccessible*>(QAccessible::accessibleInterface(it->second));
        auto* made = new ItemAccessible(window_, key); // owned by Qt's registry
        ids_[key] = QAccessible::registerAccessibleInterface(made);
        return made;
    }
    void report() {
        for (const auto& [key, id] : ids_)
            static_cast<ItemAccessible*>(QAccessible::accessibleInterface(id))->report();
    }
    AccessibleView view() const {
        return window_->host() ? window_->host()->accessibleView() : AccessibleView{};
    }

private:
    std::vector<int> topKeys() const {
        const AccessibleView v = view();
        std::vector<int> keys;
        for (const auto& i : v.items)
            if (i.role != AccessibleItem::Role::Cell) keys.push_back(i.id);
        if (!v.gridName.empty()) keys.push_back(kGrid);
        return keys;
    }

    FormWindow* window_;
    mutable std::map<int, QAccessible::Id> ids_; // made as they are first asked for
};

FormAccessible* formOf(FormWindow* window) {
    return window ? static_cast<FormAccessible*>(QAccessible::queryAccessibleInterface(window))
                  : nullptr;
}

QAccessibleInterface* ItemAccessible::parent() const {
    FormAccessible* form = formOf(window_);
    if (form && current() && current()->role == AccessibleItem::Role::Cell)
        return form->item(kGrid);
    return form;
}

int ItemAccessible::childCount() const {
    return static_cast<int>(cells().size());
}

QAccessibleInterface* ItemAccessible::child(int index) const {
    const auto ids = cells();
    if (index < 0 || index >= static_cast<int>(ids.size())) return nullptr;
    return formOf(window_)->item(ids[static_cast<std::size_t>(index)]);
}

int ItemAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto ids = cells();
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (formOf(window_)->item(ids[i]) == child) return static_cast<int>(i);
    return -1;
}

QAccessibleInterface* ItemAccessible::cellAt(int row, int column) const {
    if (const auto v = view(); v && key_ == kGrid)
        for (const auto& item : v->items)
            if (item.role == AccessibleItem::Role::Cell && item.row == row && item.column == column)
                return formOf(window_)->item(item.id);
    return nullptr;
}

QAccessibleInterface* ItemAccessible::childAt(int x, int y) const {
    for (int i = 0; i < childCount(); ++i)
        if (QAccessibleInterface* c = child(i); c->rect().contains(x, y)) return c;
    return nullptr;
}

QString ItemAccessible::text(QAccessible::Text t) const {
    const auto item = current();
    if (!item) return {};
    if (t == QAccessible::Name) return qstring(item->name);
    if (t == QAccessible::Value || t == QAccessible::Description) return qstring(item->value);
    return {};
}

QRect ItemAccessible::rect() const {
    if (!window_) return {};
    if (key_ == kGrid) {
        QRect all;
        for (int i = 0; i < childCount(); ++i)
            all |= child(i)->rect();
        return all;
    }
    const auto item = current();
    if (!item) return {};
    const QRect local =
        QRectF(item->area.x, item->area.y, item->area.width, item->area.height).toAlignedRect();
    return QRect(window_->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role ItemAccessible::role() const {
    if (key_ == kGrid) return QAccessible::Table;
    const auto item = current();
    if (!item) return QAccessible::NoRole;
    switch (item->role) {
    case AccessibleItem::Role::Cell:
        return QAccessible::Cell;
    case AccessibleItem::Role::Link:
        return QAccessible::Link;
    default:
        return QAccessible::StaticText;
    }
}

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<FormWindow*>(object)) return new FormAccessible(window);
    return nullptr;
}

} // namespace

void installAccessibility() {
    QAccessible::installFactory(factory);
}

void accessibleChanged(FormWindow& window) {
    if (!QAccessible::isActive()) return;
    if (FormAccessible* form = formOf(&window)) form->report();
}

void accessibleShown(FormWindow& window) {
    if (!QAccessible::isActive()) return;
    if (FormAccessible* form = formOf(&window); form && form->view().alert) {
        QAccessibleEvent event(&window, QAccessible::Alert);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace tk::qt
