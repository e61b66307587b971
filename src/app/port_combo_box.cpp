#include "app/port_combo_box.h"

PortComboBox::PortComboBox(WindowObject* parent, int x, int y, int width, int height, int id)
    : ComboBox(parent, x, y, width, height, id, 0, false), Ports(new PortNameList) {}

PortComboBox::~PortComboBox() {
    Ports->Free();
}

// Appended in the list's order: CB_INSERTSTRING does not sort, whatever the
// control's style.
void PortComboBox::Setup() {
    ComboBox::Setup();
    Ports->ForEachItem([this](void* name) { InsertItem(static_cast<char*>(name), -1); });
}
