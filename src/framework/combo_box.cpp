#include "framework/combo_box.h"

#include "framework/transfer_field.h"
#include "framework/window_text.h"

#include <cstddef>

namespace {
const UINT ComboBoxMessages[ListOperationCount] = {
    CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
    CB_GETCOUNT,  CB_GETLBTEXT,    CB_GETLBTEXTLEN, CB_SELECTSTRING,
    CB_GETCURSEL, CB_SETCURSEL,    CB_GETITEMDATA,  CB_SETITEMDATA,
};
}

ComboBox::ComboBox(WindowObject* parent, int x, int y, int width, int height, int id, int textLimit,
                   bool editable)
    : ListBox(parent, x, y, width, height, id), TextLimit(textLimit) {
    Style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_GROUP | WS_TABSTOP | CBS_SORT |
            (editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
}

ComboBox::ComboBox(WindowObject* parent, TemplateItem item, int textLimit)
    : ListBox(parent, item), TextLimit(textLimit) {}

const char* ComboBox::ClassName() {
    return "Combobox";
}

UINT ComboBox::MessageFor(ListOperation operation) {
    return ComboBoxMessages[operation];
}

void ComboBox::Setup() {
    ListBox::Setup();
    if (TextLimit != 0) SendMessageW(Handle, CB_LIMITTEXT, static_cast<WPARAM>(TextLimit - 1), 0);
}

int ComboBox::GetText(char* buffer, int capacity) {
    return GetTextOf(Handle, buffer, capacity);
}

void ComboBox::SetText(const char* text) {
    if (SelectItemByPrefix(text, -1) < 0) SetTextOf(Handle, text);
}

int ComboBox::Transfer(void* cursor, int direction) {
    char* field = static_cast<char*>(cursor);
    char* text = field + offsetof(ComboBoxData, Text);
    if (direction == TransferGet) {
        if (TextLimit > 0) GetText(text, TextLimit);
    } else if (direction == TransferSet) {
        Refill(LoadField<Collection*>(field));
        // Without a text field the bytes after the strings belong to the next control.
        if (TextLimit > 0) SetText(text);
    }
    return TextLimit + static_cast<int>(sizeof(Collection*));
}
