#pragma once

#include "framework/window.h"

// Common base of the wrappers of the system's controls. Each concrete control
// answers its system class name; nothing is registered, and the control's own
// procedure paints it.
class Control : public Window {
public:
    // A new control at x, y (pixels in the parent's client area).
    Control(WindowObject* parent, const char* title, int x, int y, int width, int height, int id);
    // A control bound to item id of the parent dialog.
    Control(WindowObject* parent, int id);

    const char* ClassName() override = 0;
    bool Register() override;
    void OnPaint(MessageRecord& msg) override;

protected:
    ~Control() override = default;
};
