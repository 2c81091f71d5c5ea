#!/usr/bin/python3
"""Writes the base class __<Form>_Base of a form from its dialog template.

Inputs: the Qt Designer file ID_<Form>.ui (controls: every widget with an "itemId" property, in
member order = ascending item id unless the file has <tabstops>; kind from the "wclass" property
or the widget's Qt class; hint from its toolTip; "default" and "cancel" buttons; grid properties
"dataSource", "columnNames", "columnTitles", "columnWidths") and, when present, ID_<Form>.json
beside it (the form's base kind, its events and handlers, its hand-written set-up, its
transactions, queries, row bindings, menus and pop-up menus).

Output: __<Form>_Base.h and __<Form>_Base.cpp in the output folder.
"""
import argparse
import json
import os
import sys
import xml.etree.ElementTree as ET

DEFAULT_KINDS = {
    "QPushButton": "WCommandButton",
    "QToolButton": "WPictureButton",
    "QLabel": "WLabel",
    "QLineEdit": "WTextBox",
    "QPlainTextEdit": "WTextBox",
    "QCheckBox": "WCheckBox",
    "QRadioButton": "WOptionButton",
    "QGroupBox": "WGroupBox",
    "QListWidget": "WListBox",
    "QComboBox": "WComboBox",
    "QTableView": "WGrid",
    "QTreeWidget": "WListView",
    "QSpinBox": "WUpDown",
    "QProgressBar": "WProgressBar",
}
# The Qt class each control object expects from uic's widget of that kind.
QT_TYPES = {
    "WCommandButton": "QAbstractButton", "WPictureButton": "QAbstractButton",
    "WCheckBox": "QAbstractButton", "WOptionButton": "QAbstractButton",
    "WLabel": "QLabel", "WPictureBox": "QLabel", "WTextBox": None, "WGroupBox": "QWidget",
    "WListBox": "QListWidget", "WComboBox": "QComboBox", "WGrid": "QTableView",
    "WListView": "QTreeWidget", "WUpDown": "QSpinBox", "WProgressBar": "QProgressBar",
}
EVENTS = {"EraseBackgroundEvent", "PaintEvent", "ChangeEvent", "ClickEvent", "DoubleClickEvent",
          "LeftButtonUpEvent", "LeftButtonDownEvent", "RightButtonUpEvent", "SelectEvent",
          "HelpEvent", "UserEvent", "CloseEvent", "TimerEvent", "DragStartEvent",
          "DragFeedbackEvent", "DragDropEvent", "DragEndEvent"}


def fail(message):
    sys.exit("formgen: " + message)


def cstr(text):
    out = ['"']
    for ch in text:
        if ch == "\\":
            out.append("\\\\")
        elif ch == '"':
            out.append('\\"')
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\t":
            out.append("\\t")
        elif ch == "?":
            out.append("\\?")   # no trigraphs
        else:
            out.append(ch)
    out.append('"')
    return "".join(out)


def prop_value(widget, name):
    for prop in widget.findall("property"):
        if prop.get("name") != name:
            continue
        for child in prop:
            if child.tag in ("string", "cstring", "number", "bool", "enum"):
                return child.text or ""
        return ""
    return None


def read_ui(path):
    root = ET.parse(path).getroot()
    ui_class = root.findtext("class")
    top = root.find("widget")
    if top is None or not ui_class:
        fail(f"{path}: no top-level widget")
    controls = []
    for position, widget in enumerate(top.iter("widget")):
        if widget is top:
            continue
        item_id = prop_value(widget, "itemId")
        if item_id is None:
            continue
        qt_class = widget.get("class")
        kind = prop_value(widget, "wclass") or DEFAULT_KINDS.get(qt_class)
        if kind not in QT_TYPES:
            fail(f"{path}: {widget.get('name')}: no control kind for {qt_class}")
        controls.append({
            "name": widget.get("name"), "qt": qt_class, "kind": kind, "id": int(item_id),
            "position": position, "hint": prop_value(widget, "toolTip"),
            "default": prop_value(widget, "default") == "true",
            "cancel": prop_value(widget, "cancel") == "true",
            "dataSource": prop_value(widget, "dataSource"),
            "names": prop_value(widget, "columnNames"),
            "titles": prop_value(widget, "columnTitles"),
            "widths": prop_value(widget, "columnWidths"),
        })
    names = [c["name"] for c in controls]
    if len(set(names)) != len(names):
        fail(f"{path}: a member name is used twice")
    tabstops = [t.text for t in root.findall("tabstops/tabstop")]
    if tabstops:
        order = {name: i for i, name in enumerate(tabstops)}
        controls.sort(key=lambda c: (order.get(c["name"], len(order)), c["id"], c["position"]))
    else:
        controls.sort(key=lambda c: (c["id"], c["position"]))
    return ui_class, prop_value(top, "formKind"), controls


def short_name(form, resource):
    prefix = f"ID_{form}_"
    return resource[len(prefix):] if resource.startswith(prefix) else resource


def menu_items(items, handlers):
    for item in items:
        if "items" in item:
            yield from menu_items(item["items"], handlers)
        elif "handler" in item:
            handlers.append(item["handler"])
            yield item


def generate(form, ui_path, spec, out_dir):
    ui_class, kind_prop, controls = read_ui(ui_path)
    base = spec.get("base") or kind_prop or "WDialog"
    if base not in ("WDialog", "WModelessDialog"):
        fail(f"{form}: unknown base {base}")
    by_name = {c["name"]: c for c in controls}
    events = spec.get("events", {})
    handlers = []
    for target, table in events.items():
        if target != "form" and target not in by_name:
            fail(f"{form}: events for unknown control {target}")
        for event, handler in table.items():
            if event not in EVENTS:
                fail(f"{form}: unknown event {event}")
            handlers.append(handler)
    menus = spec.get("menus", [])
    popups = spec.get("popups", [])
    for menu in menus + popups:
        list(menu_items(menu["items"], handlers))
    for popup in popups:
        if popup.get("control") and popup["control"] not in by_name:
            fail(f"{form}: pop-up menu for unknown control {popup['control']}")
    unique_handlers = list(dict.fromkeys(handlers))
    queries = spec.get("queries", [])
    transactions = spec.get("transactions", [])
    create_hook = spec.get("create")
    bindings = read_bindings(form, spec.get("bindings", []), by_name, queries)
    cls = f"__{form}_Base"
    kinds = sorted({c["kind"] for c in controls})

    h = []
    h.append("#pragma once")
    h.append(f"// Generated by tools/formgen from ID_{form}.ui; do not edit.")
    h.append("")
    h.append('#include "platform/forms/Forms.h"')
    if queries or transactions:
        h.append('#include "platform/db/WQuery.h"')
        h.append('#include "platform/db/WTransaction.h"')
    h.append("")
    h.append(f"namespace Ui {{ class {ui_class}; }}")
    h.append("")
    h.append(f"class {cls} : public {base} {{")
    h.append("public:")
    h.append(f"    {cls}();")
    h.append(f"    ~{cls}() override;")
    h.append("")
    h.append("protected:")
    h.append("    void SetupTemplate(QDialog* window) override;")
    h.append("    virtual void SetTabOrder();")
    h.append("    bool CreateControls(WEventData& event);")
    h.append("    bool CloseQuits(WEventData& event);")
    h.append("    bool DestroyControls(WEventData& event);")
    h.append("    void BindEvents(bool bind);")
    if create_hook:
        h.append(f"    virtual void {create_hook}() = 0;")
    for handler in unique_handlers:
        h.append(f"    virtual bool {handler}(WEventData& event) = 0;")
    h.append("")
    for c in controls:
        h.append(f"    {c['kind']}* {c['name']} = nullptr;")
    for m in menus:
        h.append(f"    WMenu* {short_name(form, m['name'])} = nullptr;")
    for p in popups:
        h.append(f"    WPopupMenu* {short_name(form, p['name'])} = nullptr;")
    for t in transactions:
        h.append(f"    WTransaction* {t['name']} = nullptr;")
    for q in queries:
        h.append(f"    WQuery* {q['name']} = nullptr;")
    for b in bindings:
        h.append(f"    WRowBinding* {b['member']} = nullptr;")
    h.append("")
    h.append("private:")
    h.append(f"    Ui::{ui_class}* ui_ = nullptr;")
    h.append("    char formTable_ = 0;      // tag of the form's own table")
    h.append("    char windowTables_ = 0;   // tag of the tables bound while the window exists")
    h.append("};")

    c_ = []
    c_.append(f"// Generated by tools/formgen from ID_{form}.ui; do not edit.")
    c_.append(f'#include "__{form}_Base.h"')
    c_.append("")
    c_.append(f'#include "ui_ID_{form}.h"')
    c_.append("")
    c_.append(f'{cls}::{cls}() : {base}("{form}") {{')
    c_.append(f"    SetEventHandler(CreateEvent, this, &{cls}::CreateControls, &formTable_);")
    c_.append(f"    SetEventHandler(CloseEvent, this, &{cls}::CloseQuits, &formTable_);")
    c_.append(f"    SetEventHandler(DestroyEvent, this, &{cls}::DestroyControls, &formTable_);")
    c_.append("}")
    c_.append("")
    # A form deleted with its window still open: WForm drops the window without DestroyEvent,
    # so what CreateControls made (template, controls, menus, queries) is let go of here.
    c_.append(f"{cls}::~{cls}() {{")
    c_.append("    if (ui_) {")
    c_.append("        WEventData event;")
    c_.append("        DestroyControls(event);")
    c_.append("    }")
    c_.append("    RemoveEventHandlers(&formTable_);")
    c_.append("}")
    c_.append("")
    c_.append(f"void {cls}::SetupTemplate(QDialog* window) {{")
    c_.append(f"    ui_ = new Ui::{ui_class};")
    c_.append("    ui_->setupUi(window);")
    c_.append("}")
    c_.append("")
    c_.append(f"void {cls}::SetTabOrder() {{")
    c_.append("    WForm::SetTabOrder({" + ", ".join(c["name"] for c in controls) + "});")
    c_.append("}")
    c_.append("")
    c_.append(f"bool {cls}::CreateControls(WEventData&) {{")
    if spec.get("centre", True):
        c_.append("    CenterWindow();")
    if spec.get("hint"):
        c_.append(f"    SetHint({cstr(spec['hint'])});")
    for c in controls:
        qt = QT_TYPES[c["kind"]] or c["qt"]
        c_.append(f"    {c['name']} = new {c['kind']}(this, {cstr(c['name'])}, "
                  f"static_cast<{qt}*>(ui_->{c['name']}));")
        if c["hint"]:
            c_.append(f"    {c['name']}->SetHint({cstr(c['hint'])});")
        if c["default"]:
            c_.append(f"    SetDefaultButton({c['name']});")
        if c["cancel"]:
            c_.append(f"    SetCancelButton({c['name']});")
    for t in transactions:
        c_.append(f"    {t['name']} = new WTransaction;")
        c_.append(f"    {t['name']}->SetDataSource({cstr(t.get('dsn', ''))}, {cstr(t.get('user', ''))}, "
                  f"{cstr(t.get('password', ''))});")
        c_.append(f"    WTransaction::Register({cstr(form + '::' + t['name'])}, {t['name']});")
    for q in queries:
        c_.append(f"    {q['name']} = new WQuery;")
        c_.append(f"    {q['name']}->SetTransaction(std::string({cstr(q.get('transaction', 'WinStart::transaction_KVO'))}));")
        if q.get("sql"):
            c_.append(f"    {q['name']}->SetSQL({cstr(q['sql'])});")
    for c in controls:
        if c["kind"] != "WGrid":
            continue
        if c["titles"]:
            c_.append(f"    {c['name']}->SetColumnTitles({cstr(c['titles'])});")
        if c["names"]:
            c_.append(f"    {c['name']}->SetColumnNames({cstr(c['names'])});")
        if c["dataSource"]:
            if not any(q["name"] == c["dataSource"] for q in queries):
                fail(f"{form}: {c['name']} is bound to unknown query {c['dataSource']}")
            c_.append(f"    {c['name']}->SetDataSource({c['dataSource']});")
    for m in menus:
        member = short_name(form, m["name"])
        c_.append(f"    {member} = new WMenu({cstr(m['name'])});")
        emit_menu(c_, cls, member, m["items"])
        c_.append(f"    SetMenuBar({member});")
    for p in popups:
        member = short_name(form, p["name"])
        c_.append(f"    {member} = new WPopupMenu({cstr(p['name'])});")
        emit_menu(c_, cls, member, p["items"])
    c_.append("    BindEvents(true);")
    # After the form's own tables: a binding sees every change before a handler can stop it.
    emit_bindings(c_, bindings)
    for p in popups:
        if p.get("control"):
            c_.append(f"    {p['control']}->SetPopupMenu({short_name(form, p['name'])});")
    c_.append("    SetTabOrder();")
    for c in controls:
        if c["kind"] == "WGrid" and c["widths"]:
            c_.append(f"    {c['name']}->SetColumnWidths({{{c['widths']}}});")
    for q in queries:
        if q.get("open"):
            c_.append(f"    AutoOpenQuery(this, {q['name']});")
    if create_hook:
        c_.append(f"    {create_hook}();")
    c_.append("    return false;")
    c_.append("}")
    c_.append("")
    c_.append(f"void {cls}::BindEvents(bool bind) {{")
    c_.append("    if (!bind) {")
    c_.append("        RemoveEventHandlers(&windowTables_);")
    for c in controls:
        c_.append(f"        if ({c['name']}) {c['name']}->RemoveEventHandlers(&windowTables_);")
    c_.append("        return;")
    c_.append("    }")
    for target, table in events.items():
        obj = "this" if target == "form" else target
        for event, handler in table.items():
            c_.append(f"    {obj}->SetEventHandler({event}, this, &{cls}::{handler}, &windowTables_);")
    c_.append("}")
    c_.append("")
    c_.append(f"bool {cls}::CloseQuits(WEventData&) {{")
    c_.append("    const bool main = WExeApplication::GetMainForm() == this;")
    c_.append("    EndWindow(0);")
    c_.append("    if (main) WExeApplication::Quit(0);")
    c_.append("    return true;")
    c_.append("}")
    c_.append("")
    c_.append(f"bool {cls}::DestroyControls(WEventData&) {{")
    c_.append("    BindEvents(false);")
    for q in queries:
        c_.append(f"    if ({q['name']}) {q['name']}->Close();")
    for t in transactions:
        c_.append(f"    if ({t['name']}) {{")
        c_.append(f"        {t['name']}->Disconnect();")
        c_.append(f"        WTransaction::Unregister({cstr(form + '::' + t['name'])});")
        c_.append("    }")
    for b in bindings:
        c_.append(f"    delete {b['member']};")
        c_.append(f"    {b['member']} = nullptr;")
    for m in menus:
        member = short_name(form, m["name"])
        c_.append(f"    SetMenuBar(nullptr);")
        c_.append(f"    delete {member};")
        c_.append(f"    {member} = nullptr;")
    for p in popups:
        member = short_name(form, p["name"])
        if p.get("control"):
            c_.append(f"    if ({p['control']}) {p['control']}->SetPopupMenu(nullptr);")
        c_.append(f"    delete {member};")
        c_.append(f"    {member} = nullptr;")
    for c in reversed(controls):
        c_.append(f"    delete {c['name']};")
        c_.append(f"    {c['name']} = nullptr;")
    for q in reversed(queries):
        c_.append(f"    delete {q['name']};")
        c_.append(f"    {q['name']} = nullptr;")
    for t in reversed(transactions):
        c_.append(f"    delete {t['name']};")
        c_.append(f"    {t['name']} = nullptr;")
    c_.append("    delete ui_;")
    c_.append("    ui_ = nullptr;")
    c_.append("    return false;")
    c_.append("}")

    os.makedirs(out_dir, exist_ok=True)
    write_if_changed(os.path.join(out_dir, f"{cls}.h"), "\n".join(h) + "\n")
    write_if_changed(os.path.join(out_dir, f"{cls}.cpp"), "\n".join(c_) + "\n")


BIND_AS = {"text": "Text", "number": "Number", "check": "Check", "option": "Option", "lookup": "Lookup"}


def default_bind_as(kind, control):
    if control.get("lookup"):
        return "lookup"
    return {"WCheckBox": "check", "WOptionButton": "option"}.get(kind, "text")


def read_bindings(form, specs, by_name, queries):
    """The row bindings of the .json: each binds controls to the columns of one query's row."""
    query_names = {q["name"] for q in queries}
    bindings = []
    for spec in specs:
        query = spec.get("query")
        if query not in query_names:
            fail(f"{form}: binding of unknown query {query}")
        member = spec.get("name") or "binding_" + (query[len("query_"):] if query.startswith("query_") else query)
        controls = []
        for entry in spec.get("controls", []):
            name = entry.get("control")
            if name not in by_name:
                fail(f"{form}: {member} binds unknown control {name}")
            if not entry.get("column"):
                fail(f"{form}: {member}: {name} has no column")
            kind = by_name[name]["kind"]
            bind_as = entry.get("as") or default_bind_as(kind, entry)
            if bind_as not in BIND_AS:
                fail(f"{form}: {member}: {name}: unknown binding kind {bind_as}")
            if bind_as in ("check", "option") and kind not in ("WCheckBox", "WOptionButton"):
                fail(f"{form}: {member}: {name} is no check box or option button")
            if bind_as == "option" and "value" not in entry:
                fail(f"{form}: {member}: option button {name} has no value")
            if bind_as == "lookup":
                if kind != "WComboBox":
                    fail(f"{form}: {member}: {name} is no combo box")
                if entry.get("lookup") not in query_names or not entry.get("lookupColumns"):
                    fail(f"{form}: {member}: {name} needs a lookup query and lookupColumns")
            controls.append(dict(entry, bind_as=bind_as))
        bindings.append({"member": member, "query": query, "table": spec.get("table", ""),
                         "id": spec.get("id", "id"), "rowId": spec.get("rowId"), "controls": controls})
    return bindings


def emit_bindings(out, bindings):
    for b in bindings:
        m = b["member"]
        out.append(f"    {m} = new WRowBinding({b['query']}, {cstr(b['table'])}, {cstr(b['id'])});")
        if b["rowId"]:
            out.append(f"    {m}->SetRowIdColumn({cstr(b['rowId'])});")
        for entry in b["controls"]:
            fields = [f".column = {cstr(entry['column'])}"]
            if entry.get("tableColumn"):
                fields.append(f".tableColumn = {cstr(entry['tableColumn'])}")
            fields.append(f".as = WBindAs::{BIND_AS[entry['bind_as']]}")
            if entry.get("display") or not b["table"]:
                fields.append(".display = true")
            if entry["bind_as"] == "check":
                fields.append(f".onValue = {cstr(str(entry.get('checked', '1')))}")
                fields.append(f".offValue = {cstr(str(entry.get('unchecked', '0')))}")
            elif entry["bind_as"] == "option":
                fields.append(f".onValue = {cstr(str(entry['value']))}")
            if entry["bind_as"] == "lookup":
                fields.append(f".lookup = {entry['lookup']}")
                fields.append(f".lookupColumns = {cstr(entry['lookupColumns'])}")
            out.append(f"    {m}->Bind({entry['control']}, {{{', '.join(fields)}}});")


def emit_menu(out, cls, member, items):
    for item in items:
        if item.get("separator"):
            out.append(f"    {member}->AddSeparator();")
        elif "items" in item:
            sub = f"{member}_{len(out)}"
            out.append(f"    WMenu* {sub} = {member}->AddSubMenu({cstr(item['text'])}, {cstr(item.get('hint', ''))});")
            emit_menu(out, cls, sub, item["items"])
        else:
            line = f"{member}->AddItem({item['id']}, {cstr(item['text'])}, {cstr(item.get('hint', ''))})"
            if "handler" in item:
                out.append(f"    {line}->SetEventHandler(ClickEvent, this, &{cls}::{item['handler']}, &windowTables_);")
            else:
                out.append(f"    {line};")


def write_if_changed(path, text):
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--form", required=True)
    parser.add_argument("--ui", required=True)
    parser.add_argument("--spec")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    spec = {}
    if args.spec and os.path.exists(args.spec):
        with open(args.spec, encoding="utf-8") as f:
            spec = json.load(f)
    generate(args.form, args.ui, spec, args.out)


if __name__ == "__main__":
    main()
