#pragma once

#include "framework/list_box.h"

// A combo box's field in a parent's transfer buffer: the strings as for a
// list box, then TextLimit bytes of zero-terminated text (the selected or
// typed text).
struct ComboBoxData {
    Collection* Strings;
    char Text[];
};

// A sorted drop-down combo box, editable or a plain drop-down list; every
// item operation of ListBox works on its list. TextLimit is the capacity of
// its text in bytes, the zero included: the typing limit (TextLimit - 1
// characters; 0 keeps the system's) and the size of the text in the transfer.
class ComboBox : public ListBox {
public:
    ComboBox(WindowObject* parent, int x, int y, int width, int height, int id, int textLimit,
             bool editable);
    ComboBox(WindowObject* parent, TemplateItem item, int textLimit);

    const char* ClassName() override;
    int Transfer(void* cursor, int direction) override;
    void Setup() override;
    UINT MessageFor(ListOperation operation) override;

    // The text of the edit field, or of the selected item of a drop-down list.
    int GetText(char* buffer, int capacity);
    // Selects the first item that begins with the text; without one, the text
    // goes to the edit field (a drop-down list has none: nothing changes).
    void SetText(const char* text);

    int TextLimit = 0;

protected:
    ~ComboBox() override = default;
};
