#include "framework/static_control.h"

#include "framework/window_text.h"

Static::Static(WindowObject* parent, const char* title, int x, int y, int width, int height, int id,
               int textLimit)
    : Control(parent, title, x, y, width, height, id), TextLimit(textLimit) {
    Style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
}

Static::Static(WindowObject* parent, TemplateItem item, int textLimit)
    : Control(parent, item.Id), TextLimit(textLimit) {
    SetFlags(TransferEnabled);
}

const char* Static::ClassName() {
    return "Static";
}

int Static::Transfer(void* cursor, int direction) {
    // Without a field there is no text to give or take: the bytes at the
    // cursor belong to the next control.
    if (TextLimit <= 0) return 0;
    if (direction == TransferGet)
        GetText(static_cast<char*>(cursor), TextLimit);
    else if (direction == TransferSet)
        SetText(static_cast<const char*>(cursor));
    return TextLimit;
}

int Static::GetText(char* buffer, int capacity) {
    return GetTextOf(Handle, buffer, capacity);
}

void Static::SetText(const char* text) {
    SetTextOf(Handle, text);
}

void Static::ClearText() {
    SetText("");
}
