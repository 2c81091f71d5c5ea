#include "platform/forms/WMenu.h"

WMenuItem::WMenuItem(int id, QAction* action) : WWindow(nullptr, nullptr, std::to_string(id)), id_(id), action_(action) {
    connect(action_, &QAction::triggered, this, [this] { Raise(ClickEvent); });
}

void WMenuItem::SetText(const std::string& text) {
    if (action_) action_->setText(ToQt(text));
}

std::string WMenuItem::GetText() const { return action_ ? FromQt(action_->text()) : std::string(); }

void WMenuItem::SetHint(const std::string& hint) {
    if (action_) action_->setStatusTip(ToQt(hint));
}

void WMenuItem::SetItemEnabled(bool enabled) {
    if (action_) action_->setEnabled(enabled);
}

bool WMenuItem::GetItemEnabled() const { return action_ && action_->isEnabled(); }

void WMenuItem::Click() {
    if (action_ && action_->isEnabled()) action_->trigger();
}

WMenu::WMenu(std::string name) : name_(std::move(name)), bar_(new QMenuBar) {}

WMenu::WMenu(std::string name, QMenu* menu) : name_(std::move(name)), menu_(menu) {}

WMenu::~WMenu() {
    items_.clear();
    subMenus_.clear();
    // A menu may be going away from inside the handler of one of its own items.
    if (bar_) {
        bar_->hide();
        bar_->deleteLater();
    }
    if (menu_ && !menu_->parent()) menu_->deleteLater();
}

WMenu* WMenu::AddSubMenu(const std::string& text, const std::string& hint) {
    QMenu* menu = bar_ ? bar_->addMenu(ToQt(text)) : menu_->addMenu(ToQt(text));
    menu->menuAction()->setStatusTip(ToQt(hint));
    subMenus_.push_back(std::unique_ptr<WMenu>(new WMenu(text, menu)));
    return subMenus_.back().get();
}

WMenuItem* WMenu::AddItem(int id, const std::string& text, const std::string& hint) {
    QAction* action = bar_ ? bar_->addAction(ToQt(text)) : menu_->addAction(ToQt(text));
    items_.push_back(std::make_unique<WMenuItem>(id, action));
    if (!hint.empty()) items_.back()->SetHint(hint);
    return items_.back().get();
}

void WMenu::AddSeparator() {
    if (menu_) menu_->addSeparator();
    else if (bar_) bar_->addSeparator();
}

WMenuItem* WMenu::FindItem(int id) const {
    for (const auto& item : items_)
        if (item->GetId() == id) return item.get();
    for (const auto& sub : subMenus_)
        if (WMenuItem* item = sub->FindItem(id)) return item;
    return nullptr;
}

std::vector<WMenu*> WMenu::SubMenus() const {
    std::vector<WMenu*> menus;
    for (const auto& sub : subMenus_) menus.push_back(sub.get());
    return menus;
}

std::string WMenu::GetText() const { return menu_ ? FromQt(menu_->title()) : std::string(); }

WPopupMenu::WPopupMenu(std::string name) : WMenu(std::move(name), new QMenu) {}

void WPopupMenu::Popup(const QPoint& globalPosition) {
    if (GetMenu()) GetMenu()->popup(globalPosition);
}
