#include "framework/button.h"

#include "framework/transfer_field.h"

#include <cstdint>

namespace {
const char ButtonClass[] = "Button";
}

GroupBox::GroupBox(WindowObject* parent, const char* title, int x, int y, int width, int height,
                   int id)
    : Control(parent, title, x, y, width, height, id) {
    Style = WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX;
}

GroupBox::GroupBox(WindowObject* parent, TemplateItem item) : Control(parent, item.Id) {}

const char* GroupBox::ClassName() {
    return ButtonClass;
}

Button::Button(WindowObject* parent, const char* title, int x, int y, int width, int height, int id)
    : Control(parent, title, x, y, width, height, id) {
    Style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
}

Button::Button(WindowObject* parent, TemplateItem item) : Control(parent, item.Id) {}

const char* Button::ClassName() {
    return ButtonClass;
}

CheckBox::CheckBox(WindowObject* parent, const char* title, int x, int y, int width, int height,
                   int id)
    : Button(parent, title, x, y, width, height, id) {
    Style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX;
}

CheckBox::CheckBox(WindowObject* parent, TemplateItem item) : Button(parent, item) {
    SetFlags(TransferEnabled);
}

int CheckBox::Transfer(void* cursor, int direction) {
    if (direction == TransferGet)
        StoreField<int32_t>(cursor, CheckState());
    else if (direction == TransferSet)
        SetCheckState(LoadField<int32_t>(cursor));
    return TransferSize;
}

int CheckBox::CheckState() {
    return static_cast<int>(SendMessageW(Handle, BM_GETCHECK, 0, 0));
}

void CheckBox::SetCheckState(int state) {
    SendMessageW(Handle, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void CheckBox::SetChecked() {
    SetCheckState(BST_CHECKED);
}
