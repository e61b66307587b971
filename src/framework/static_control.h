#pragma once

#include "framework/control.h"

// A label or read-only text. TextLimit is the capacity of its text in bytes,
// the terminating zero included: the size of its field in a parent's transfer
// buffer, which holds a zero-terminated text. 0: no field, no text copied.
// Bound to a dialog item it takes part in the transfer, placed by position it
// does not.
class Static : public Control {
public:
    Static(WindowObject* parent, const char* title, int x, int y, int width, int height, int id,
           int textLimit);
    Static(WindowObject* parent, TemplateItem item, int textLimit);

    const char* ClassName() override;
    int Transfer(void* cursor, int direction) override;

    // Copies at most capacity - 1 characters and a zero; answers how many.
    int GetText(char* buffer, int capacity);
    void SetText(const char* text);
    void ClearText();

    int TextLimit = 0;

protected:
    ~Static() override = default;
};
