#include "app/probe_type_dialog.h"

#include "app/target_writes.h"
#include "app/texts.h"
#include "devlink/transmitter_names.h"

ProbeTypeDialog::ProbeTypeDialog(WindowObject* parent, TransmitterLink& link,
                                 const ProbeTypeTargets& targets)
    : GreyDialog(parent, TemplateId), TypeBox(new ComboBox(this, TemplateItem{TypeBoxId}, 0)),
      Link(link), Targets(targets) {}

// The list is not sorted: an entry's position is its probe type.
void ProbeTypeDialog::Setup() {
    GreyDialog::Setup();
    BYTE type;
    if (!Link.GetProbeType(type)) {
        TypeBox->AddItem(CommunicationErrorText.Text);
        TypeBox->SelectIndex(0);
        return;
    }
    for (const TextRecord* name : ProbeTypeNames) TypeBox->AddItem(name->Text);
    // A type the tool does not know selects nothing.
    TypeBox->SelectIndex(type);
    TypesListed = true;
}

// Without a known type selected nothing is written: the user picks one or
// leaves with Escape.
void ProbeTypeDialog::Ok() {
    const int type = TypeBox->SelectedIndex();
    if (!TypesListed || type < 0 || type >= ProbeTypeCount) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (!WriteType(static_cast<BYTE>(type))) {
        // The writes that went through are shown; OK may be tried again.
        ShowError(CommunicationErrorText.Text, Text::ProbeDialogCaption);
        return;
    }
    GreyDialog::Ok();
}

// Every write is tried, in the transmitter's order, whatever the others did.
bool ProbeTypeDialog::WriteType(BYTE type) {
    const ProbeParameters& defaults = ProbeDefaults[type];
    bool written = WriteAndShow(Link, type, Targets.TypeDisplay);
    written &= WriteAndShow(Link, &TransmitterLink::SetOffset, defaults.Offset, Targets.OffsetEdit);
    written &= WriteAndShow(Link, &TransmitterLink::SetSensitivity, defaults.Sensitivity,
                            Targets.SensitivityEdit);
    written &= WriteAndShow(Link, &TransmitterLink::SetLowerRange, defaults.LowerRange,
                            Targets.LowerRangeEdit);
    written &= WriteAndShow(Link, &TransmitterLink::SetUpperRange, defaults.UpperRange,
                            Targets.UpperRangeEdit);
    written &= WriteAndShow(Link, CalibrationDate{}, Targets.DateDisplay);
    return written;
}
