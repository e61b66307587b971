#include "framework/control.h"

Control::Control(WindowObject* parent, const char* title, int x, int y, int width, int height,
                 int id)
    : Window(parent, title) {
    Style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP;
    X = x;
    Y = y;
    Width = width;
    Height = height;
    IdOrMenu = static_cast<UINT_PTR>(id);
}

Control::Control(WindowObject* parent, int id) : Window(parent, TemplateItem{id}) {}

bool Control::Register() {
    return true;
}

void Control::OnPaint(MessageRecord& msg) {
    DefaultHandler(msg);
}
