#pragma once
// A window or control of a form: a thin object over its Qt widget that carries the event table,
// the registered member name and the item id of the dialog template.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/forms/WEvents.h"

class WForm;
class WPopupMenu;

class WWindow : public QObject {
    Q_OBJECT
public:
    // The control belongs to form (NULL for a form itself) under its member name.
    WWindow(QWidget* widget, WForm* form, std::string name);
    ~WWindow() override;
    WWindow(const WWindow&) = delete;
    WWindow& operator=(const WWindow&) = delete;

    // Event table. Handlers are grouped by a tag (usually the object that bound them), so that a
    // form can remove the tables it bound when its window goes away.
    void AddEventHandler(WEventId id, WEventHandler handler, const void* tag);
    template <class T>
    void SetEventHandler(WEventId id, T* object, bool (T::*method)(WEventData&), const void* tag = nullptr) {
        AddEventHandler(id, [object, method](WEventData& e) { return (object->*method)(e); },
                        tag ? tag : object);
    }
    void RemoveEventHandlers(const void* tag);
    int HandlerCount(WEventId id) const;

    // Runs the handlers newest first until one answers handled; true when one did.
    bool Raise(WEventData& event);
    bool Raise(WEventId id);

    // Posts a UserEvent with the code; it is delivered by the event loop, never at once.
    void PostUserEvent(std::uint32_t code);

    QWidget* GetWidget() const { return widget_; }
    const std::string& GetName() const { return name_; }
    WForm* GetForm() const { return form_; }
    int GetItemId() const;   // the "itemId" property of the template item, -1 when none

    virtual void SetText(const std::string& text);
    virtual std::string GetText() const;
    void SetEnabled(bool enabled);
    bool GetEnabled() const;
    void SetVisible(bool visible);
    bool GetVisible() const;   // set to visible, whether or not the window is on screen
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    void SetFocus();
    bool HasFocus() const;
    virtual void SetHint(const std::string& hint);
    std::string GetHint() const;

    // The pop-up menu shown after the RightButtonUpEvent handlers have run.
    void SetPopupMenu(WPopupMenu* menu) { popup_ = menu; }
    WPopupMenu* GetPopupMenu() const { return popup_; }

protected:
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The widget that receives the mouse (the viewport of item views).
    virtual QWidget* MouseWidget() const { return widget_; }
    // The data row under a point of the mouse widget; kNoRow when none.
    virtual long RowAt(const QPoint&) const { return kNoRow; }
    void WatchMouse();
    void SetWidget(QWidget* widget) { widget_ = widget; }

private:
    void NameAfterLabel();

    struct Entry {
        WEventId id;
        WEventHandler handler;
        const void* tag;
    };
    QPointer<QWidget> widget_;
    WForm* form_;
    std::string name_;
    std::vector<Entry> entries_;   // oldest first; dispatch walks from the back
    WPopupMenu* popup_ = nullptr;
    bool namedByHint_ = false;
};

QString ToQt(const std::string& text);
std::string FromQt(const QString& text);
