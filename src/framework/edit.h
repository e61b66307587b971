#pragma once

#include "framework/static_control.h"

// A single-line or multi-line text entry. TextLimit also bounds what the user
// can type: TextLimit - 1 characters (0 keeps the system's own limit).
//
// The edit commands below, sent to the edit control's own window as
// WM_COMMAND with lParam 0 (a menu or accelerator command), reach one virtual
// response each; a descendant overrides a response to change what its command
// does. Other command ids climb to the parent like any window's.
class Edit : public Static {
public:
    static constexpr int CommandEditCut = 0xFF00;
    static constexpr int CommandEditCopy = 0xFF01;
    static constexpr int CommandEditPaste = 0xFF02;
    static constexpr int CommandEditDelete = 0xFF03;
    static constexpr int CommandEditClear = 0xFF04;
    static constexpr int CommandEditUndo = 0xFF05;

    // The title becomes the initial text.
    Edit(WindowObject* parent, const char* title, int x, int y, int width, int height, int id,
         int textLimit, bool multiline);
    Edit(WindowObject* parent, TemplateItem item, int textLimit);

    const char* ClassName() override;
    void Setup() override;
    void OnCommandId(MessageRecord& msg, int id) override;

    virtual void OnCut(MessageRecord& msg);
    virtual void OnCopy(MessageRecord& msg);
    virtual void OnPaste(MessageRecord& msg);
    virtual void OnDeleteSelection(MessageRecord& msg);
    virtual void OnClearText(MessageRecord& msg);
    virtual void OnUndo(MessageRecord& msg);

    void Cut();
    void Copy();
    void Paste();
    // Deletes the selected text only.
    void DeleteSelection();
    void Undo();

protected:
    ~Edit() override = default;

private:
    void Send(UINT message);
};
