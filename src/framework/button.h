#pragma once

#include "framework/control.h"

// A group frame around other controls; it takes no keyboard focus.
class GroupBox : public Control {
public:
    GroupBox(WindowObject* parent, const char* title, int x, int y, int width, int height, int id);
    GroupBox(WindowObject* parent, TemplateItem item);

    const char* ClassName() override;

protected:
    ~GroupBox() override = default;
};

// A push button. A click reaches the parent's OnChildNotify with its id.
class Button : public Control {
public:
    Button(WindowObject* parent, const char* title, int x, int y, int width, int height, int id);
    Button(WindowObject* parent, TemplateItem item);

    const char* ClassName() override;

protected:
    ~Button() override = default;
};

// An automatic check box. The state lives in the native control only. Its
// transfer field is the state as a 32-bit integer; bound to a dialog item it
// takes part in the transfer, placed by position it does not.
class CheckBox : public Button {
public:
    static constexpr int TransferSize = 4;

    CheckBox(WindowObject* parent, const char* title, int x, int y, int width, int height, int id);
    CheckBox(WindowObject* parent, TemplateItem item);

    int Transfer(void* cursor, int direction) override;

    // BST_UNCHECKED 0, BST_CHECKED 1, BST_INDETERMINATE 2.
    int CheckState();
    void SetCheckState(int state);
    void SetChecked();

protected:
    ~CheckBox() override = default;
};
