#include "framework/list_box.h"

#include "framework/transfer_field.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {
const UINT ListBoxMessages[ListOperationCount] = {
    LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
    LB_GETCOUNT,  LB_GETTEXT,      LB_GETTEXTLEN,   LB_SELECTSTRING,
    LB_GETCURSEL, LB_SETCURSEL,    LB_GETITEMDATA,  LB_SETITEMDATA,
};
}

SelectionArray* NewSelectionArray(int count) {
    if (count <= 0) return nullptr;
    auto* array =
        static_cast<SelectionArray*>(std::malloc(sizeof(SelectionArray) + count * sizeof(int32_t)));
    if (array) array->Count = count;
    return array;
}

void FreeSelectionArray(SelectionArray* array) {
    std::free(array);
}

ListBox::ListBox(WindowObject* parent, int x, int y, int width, int height, int id)
    : Control(parent, nullptr, x, y, width, height, id) {
    Style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_GROUP | WS_TABSTOP | LBS_NOTIFY | LBS_SORT;
    ExStyle = WS_EX_CLIENTEDGE;
}

ListBox::ListBox(WindowObject* parent, TemplateItem item) : Control(parent, item.Id) {
    SetFlags(TransferEnabled);
}

const char* ListBox::ClassName() {
    return "Listbox";
}

UINT ListBox::MessageFor(ListOperation operation) {
    return ListBoxMessages[operation];
}

int ListBox::Send(ListOperation operation, WPARAM wParam, LPARAM lParam) {
    return static_cast<int>(SendMessageA(Handle, MessageFor(operation), wParam, lParam));
}

int ListBox::AddItem(const char* text) {
    return Send(ListAddString, 0, reinterpret_cast<LPARAM>(text));
}

int ListBox::InsertItem(const char* text, int index) {
    return Send(ListInsertString, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
}

void ListBox::RemoveAllItems() {
    Send(ListResetContent, 0, 0);
}

int ListBox::ItemText(char* buffer, int index) {
    return Send(ListGetItemText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
}

int ListBox::ItemTextLength(int index) {
    return Send(ListGetItemTextLength, static_cast<WPARAM>(index), 0);
}

int ListBox::SelectItemByPrefix(const char* text, int startIndex) {
    return Send(ListSelectByPrefix, static_cast<WPARAM>(startIndex),
                reinterpret_cast<LPARAM>(text));
}

int ListBox::SelectedIndex() {
    return Send(ListGetSelection, 0, 0);
}

int ListBox::SelectIndex(int index) {
    return Send(ListSetSelection, static_cast<WPARAM>(index), 0);
}

int ListBox::SelectedText(char* buffer, int capacity) {
    const int index = SelectedIndex();
    if (index <= -1) return -1;
    const int length = ItemTextLength(index);
    if (capacity >= length) return ItemText(buffer, index);
    // The item does not fit: the system would write all of it, so it goes
    // through a block of its own size first.
    auto* block = static_cast<char*>(std::malloc(length + 1));
    if (!block) return -1;
    ItemText(block, index);
    std::memcpy(buffer, block, capacity);
    buffer[capacity] = '\0';
    std::free(block);
    return capacity;
}

void ListBox::Refill(Collection* strings) {
    RemoveAllItems();
    if (strings) strings->ForEachItem([this](void* text) { AddItem(static_cast<char*>(text)); });
}

bool ListBox::HasMultipleSelection() {
    return (GetWindowLongA(Handle, GWL_STYLE) & LBS_MULTIPLESEL) != 0;
}

SelectionArray* ListBox::ReadSelection() {
    const int count = static_cast<int>(SendMessageA(Handle, LB_GETSELCOUNT, 0, 0));
    SelectionArray* selection = NewSelectionArray(count);
    if (selection)
        SendMessageA(Handle, LB_GETSELITEMS, static_cast<WPARAM>(count),
                     reinterpret_cast<LPARAM>(selection->Indices));
    return selection;
}

void ListBox::ApplySelection(const SelectionArray* selection) {
    SendMessageA(Handle, LB_SETSEL, FALSE, -1);
    if (!selection) return;
    for (int i = 0; i < selection->Count; ++i)
        SendMessageA(Handle, LB_SETSEL, TRUE, selection->Indices[i]);
}

int ListBox::Transfer(void* cursor, int direction) {
    char* field = static_cast<char*>(cursor);
    char* selection = field + offsetof(ListBoxData, Selection);
    const bool multiple = HasMultipleSelection();
    if (direction == TransferGet) {
        if (multiple) {
            FreeSelectionArray(LoadField<SelectionArray*>(selection));
            StoreField(selection, ReadSelection());
        } else {
            StoreField<int32_t>(selection, SelectedIndex());
        }
    } else if (direction == TransferSet) {
        Refill(LoadField<Collection*>(field));
        if (multiple)
            ApplySelection(LoadField<SelectionArray*>(selection));
        else
            SelectIndex(LoadField<int32_t>(selection));
    }
    return sizeof(ListBoxData);
}
