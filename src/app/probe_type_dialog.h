#pragma once

#include "app/dialog_targets.h"
#include "app/grey_dialog.h"
#include "framework/combo_box.h"

class TransmitterLink;
struct ProbeChangeWrite;

// Changes the probe type the transmitter expects. OK writes the chosen type
// with that probe's default input parameters and a cleared calibration date,
// and shows the transmitter's replies in the main window's fields.
class ProbeTypeDialog : public GreyDialog {
public:
    static constexpr int TemplateId = 3; // in vl4config.rc
    static constexpr int TypeBoxId = 101;

    // Neither the link nor the fields of targets are owned; both outlive the dialog.
    ProbeTypeDialog(WindowObject* parent, TransmitterLink& link, const ProbeTypeTargets& targets);

    void Setup() override;
    void Ok() override;

    ComboBox* TypeBox = nullptr;
    TransmitterLink& Link;
    const ProbeTypeTargets& Targets;
    // The list holds the four type names, not the communication error.
    bool TypesListed = false;

protected:
    ~ProbeTypeDialog() override = default;

private:
    bool WriteType(BYTE type);
    // The field of the write shows what the transmitter's reply carried.
    void ShowReply(const ProbeChangeWrite& write);
};
