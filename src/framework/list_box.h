#pragma once

#include "framework/collection.h"
#include "framework/control.h"

#include <cstdint>

// The item operations a list box and a combo box share; MessageFor turns one
// into the window message of the concrete control.
enum ListOperation {
    ListAddString,
    ListInsertString,
    ListDeleteString,
    ListResetContent,
    ListGetCount,
    ListGetItemText,
    ListGetItemTextLength,
    ListSelectByPrefix,
    ListGetSelection,
    ListSetSelection,
    ListGetItemData,
    ListSetItemData,
    ListOperationCount
};

// The selected items of a multiple-selection list box: a heap block of a
// count and that many item indices. A count of 0 is never made: no selection
// is a null array.
struct SelectionArray {
    int32_t Count;
    int32_t Indices[];
};

// Null for a count of 0 or when the heap has no room.
SelectionArray* NewSelectionArray(int count);
void FreeSelectionArray(SelectionArray* array); // null is ignored

// A list box's field in a parent's transfer buffer.
struct ListBoxData {
    // Zero-terminated strings; TransferSet rebuilds the list from them (must
    // not be null then); TransferGet does not read them back.
    Collection* Strings;
    // What the selection is depends on the native control's style at the
    // moment of the transfer.
    union {
        int32_t SelectedIndex;     // single selection; -1 none
        SelectionArray* Selection; // LBS_MULTIPLESEL; null none. TransferGet frees
                                   // the array held before; the buffer's owner frees the last.
    };
};
static_assert(sizeof(ListBoxData) == 8, "a pointer and a 32-bit selection");

// A sorted list box. Every item operation answers the system's result
// unchanged, LB_ERR and LB_ERRSPACE included. Bound to a dialog item it takes
// part in the transfer, placed by position it does not.
class ListBox : public Control {
public:
    ListBox(WindowObject* parent, int x, int y, int width, int height, int id);
    ListBox(WindowObject* parent, TemplateItem item);

    const char* ClassName() override;
    int Transfer(void* cursor, int direction) override;
    virtual UINT MessageFor(ListOperation operation);

    // Placed at its sorted position.
    int AddItem(const char* text);
    // Placed at index without sorting; -1 appends.
    int InsertItem(const char* text, int index);
    void RemoveAllItems();
    int ItemText(char* buffer, int index);
    int ItemTextLength(int index);
    // The system's case-insensitive prefix search after startIndex (-1: the
    // whole list from its first item).
    int SelectItemByPrefix(const char* text, int startIndex);
    int SelectedIndex(); // -1 for none
    int SelectIndex(int index);
    // The selected item's text, at most capacity characters and a zero (the
    // buffer holds capacity + 1 bytes); answers its length, -1 without a
    // selection (the buffer untouched).
    int SelectedText(char* buffer, int capacity);

protected:
    ~ListBox() override = default;

    // Empties the list and adds the strings, first to last.
    void Refill(Collection* strings);

private:
    int Send(ListOperation operation, WPARAM wParam, LPARAM lParam);
    // Sends the text as UTF-16.
    int SendText(ListOperation operation, WPARAM wParam, const char* text);
    // Item index read whole and converted into buffer: at most capacity - 1
    // characters and a zero (INT_MAX: all of it). Answers the characters
    // written, or the system's error.
    int ReadItem(int index, char* buffer, int capacity);
    bool HasMultipleSelection();
    SelectionArray* ReadSelection();
    void ApplySelection(const SelectionArray* selection);
};
