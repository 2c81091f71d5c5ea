#pragma once
// Menus: the menu bar of a form, its sub-menus, and the pop-up menu of a control. Each command
// is a WMenuItem with its own event table; choosing it raises ClickEvent. Hints are shown as the
// item's status tip.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/WWindow.h"

class WMenuItem : public WWindow {
    Q_OBJECT
public:
    WMenuItem(int id, QAction* action);
    int GetId() const { return id_; }
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void SetHint(const std::string& hint) override;
    void SetItemEnabled(bool enabled);
    bool GetItemEnabled() const;
    void Click();   // as the user would choose it: nothing when disabled
    QAction* GetAction() const { return action_; }

private:
    int id_;
    QPointer<QAction> action_;
};

class WMenu : public QObject {
    Q_OBJECT
public:
    explicit WMenu(std::string name);   // a menu bar
    ~WMenu() override;

    const std::string& GetName() const { return name_; }
    WMenu* AddSubMenu(const std::string& text, const std::string& hint = {});
    WMenuItem* AddItem(int id, const std::string& text, const std::string& hint = {});
    void AddSeparator();
    WMenuItem* FindItem(int id) const;   // also in the sub-menus
    std::vector<WMenu*> SubMenus() const;
    std::string GetText() const;          // the sub-menu's own text

    QMenuBar* GetMenuBar() const { return bar_; }
    QMenu* GetMenu() const { return menu_; }

protected:
    WMenu(std::string name, QMenu* menu);

private:
    std::string name_;
    QPointer<QMenuBar> bar_;
    QPointer<QMenu> menu_;
    std::vector<std::unique_ptr<WMenu>> subMenus_;
    std::vector<std::unique_ptr<WMenuItem>> items_;
};

class WPopupMenu : public WMenu {
    Q_OBJECT
public:
    explicit WPopupMenu(std::string name);
    void Popup(const QPoint& globalPosition);   // shows the menu and returns at once
};
