#pragma once

#include "core/port_name_list.h"
#include "framework/combo_box.h"

// The drop-down list of the serial ports found when it was made, in the
// port list's order; nothing is selected at first.
class PortComboBox : public ComboBox {
public:
    PortComboBox(WindowObject* parent, int x, int y, int width, int height, int id);

    void Setup() override;

    PortNameList* Ports = nullptr;

protected:
    ~PortComboBox() override;
};
