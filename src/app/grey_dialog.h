#pragma once

#include "framework/dialog.h"

// The base of the tool's dialogs: light-grey backgrounds behind the dialog
// and its texts, and Escape closing the dialog although the templates have
// no Cancel button.
class GreyDialog : public Dialog {
public:
    using Dialog::Dialog;

    void Dispatch(MessageRecord& msg) override;
    // The dialog manager sends IDCANCEL without a control handle for Escape.
    void OnCommandId(MessageRecord& msg, int id) override;

protected:
    ~GreyDialog() override = default;

    // An error box on the dialog with its single OK button.
    void ShowError(const char* text, const char* caption);
};
