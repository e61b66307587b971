#include "framework/list_box.h"

#include "framework/transfer_field.h"
#include "framework/wide_text.h"

#include <climits>
#include <cstddef>
#include <cstdlib>

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
    return static_cast<int>(SendMessageW(Handle, MessageFor(operation), wParam, lParam));
}

int ListBox::SendText(ListOperation operation, WPARAM wParam, const char* text) {
    const WideText wide(text);
    return Send(operation, wParam, reinterpret_cast<LPARAM>(static_cast<wchar_t*>(wide)));
}

int ListBox::AddItem(const char* text) {
    return SendText(ListAddString, 0, text);
}

int ListBox::InsertItem(const char* text, int index) {
    return SendText(ListInsertString, static_cast<WPARAM>(index), text);
}

void ListBox::RemoveAllItems() {
    Send(ListResetContent, 0, 0);
}

// One character of the item is one byte of its 1250 text, so the caller's
// buffer, sized by ItemTextLength, holds the converted text.
int ListBox::ItemText(char* buffer, int index) {
    return ReadItem(index, buffer, INT_MAX);
}

int ListBox::ReadItem(int index, char* buffer, int capacity) {
    WideText item(WideRoom{ItemTextLength(index) + 1});
    const int length = Send(ListGetItemText, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(static_cast<wchar_t*>(item)));
    if (length < 0) return length;
    return FromWide(item, buffer, capacity);
}

int ListBox::ItemTextLength(int index) {
    return Send(ListGetItemTextLength, static_cast<WPARAM>(index), 0);
}

int ListBox::SelectItemByPrefix(const char* text, int startIndex) {
    return SendText(ListSelectByPrefix, static_cast<WPARAM>(startIndex), text);
}

int ListBox::SelectedIndex() {
    return Send(ListGetSelection, 0, 0);
}

int ListBox::SelectIndex(int index) {
    return Send(ListSetSelection, static_cast<WPARAM>(index), 0);
}

// The system writes the whole item into a block of its size; only what fits
// goes on into the buffer.
int ListBox::SelectedText(char* buffer, int capacity) {
    const int index = SelectedIndex();
    if (index <= -1) return -1;
    return ReadItem(index, buffer, capacity + 1);
}

void ListBox::Refill(Collection* strings) {
    RemoveAllItems();
    if (strings) strings->ForEachItem([this](void* text) { AddItem(static_cast<char*>(text)); });
}

bool ListBox::HasMultipleSelection() {
    return (GetWindowLongW(Handle, GWL_STYLE) & LBS_MULTIPLESEL) != 0;
}

SelectionArray* ListBox::ReadSelection() {
    const int count = static_cast<int>(SendMessageW(Handle, LB_GETSELCOUNT, 0, 0));
    SelectionArray* selection = NewSelectionArray(count);
    if (selection)
        SendMessageW(Handle, LB_GETSELITEMS, static_cast<WPARAM>(count),
                     reinterpret_cast<LPARAM>(selection->Indices));
    return selection;
}

void ListBox::ApplySelection(const SelectionArray* selection) {
    SendMessageW(Handle, LB_SETSEL, FALSE, -1);
    if (!selection) return;
    for (int i = 0; i < selection->Count; ++i)
        SendMessageW(Handle, LB_SETSEL, TRUE, selection->Indices[i]);
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
