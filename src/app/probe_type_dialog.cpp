#include "app/probe_type_dialog.h"

#include "app/texts.h"
#include "app/value_fields.h"
#include "core/number_text.h"
#include "core/probe_change.h"
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

// The transmitter's order, every write tried whatever the others did; each
// write that got a reply shows it in its field.
bool ProbeTypeDialog::WriteType(BYTE type) {
    ProbeChange change = PlanProbeChange(type);
    const bool written = WriteProbeChange(Link, change);
    for (const ProbeChangeWrite& write : change.Writes)
        if (write.Done) ShowReply(write);
    return written;
}

void ProbeTypeDialog::ShowReply(const ProbeChangeWrite& write) {
    const float value = FloatWithBits(write.Returned);
    switch (write.Step) {
    case ProbeChangeStep::Type:
        Targets.TypeDisplay.ShowProbeType(static_cast<BYTE>(write.Returned));
        break;
    case ProbeChangeStep::Offset:
        Targets.OffsetEdit.ShowFloat(value);
        break;
    case ProbeChangeStep::Sensitivity:
        Targets.SensitivityEdit.ShowFloat(value);
        break;
    case ProbeChangeStep::LowerRange:
        Targets.LowerRangeEdit.ShowFloat(value);
        break;
    case ProbeChangeStep::UpperRange:
        Targets.UpperRangeEdit.ShowFloat(value);
        break;
    case ProbeChangeStep::Date:
        Targets.DateDisplay.ShowDate(write.Returned);
        break;
    }
}
