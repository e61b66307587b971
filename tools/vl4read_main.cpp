// vl4read: identifies the transmitter on a serial port and prints every value
// with its label, as the tool shows them.
#include "console_text.h"
#include "core/readout.h"

#include "app/texts.h"
#include "devlink/transmitter_names.h"

#include <cstdio>

namespace {

// The window's labels of the read-out's values, in the read-out's order.
const char* const StepLabels[ReadoutStepCount] = {
    Text::FirmwareLabel,      Text::ProductionNumberLabel,
    Text::OutputLabel,        Text::ProbeLabel,
    Text::CalibrationLabel,   Text::DampingLabel,
    Text::OffsetLabel,        Text::SensitivityLabel,
    Text::DepthLabel,         Text::LowerRangeLabel,
    Text::UpperRangeLabel,    Text::ProbeVoltageLabel,
    Text::MeasuredValueLabel, Text::RatioLabel,
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: vl4read PORT   (COM5, COM12 ...)\n", stderr);
        return 2;
    }
    TransmitterLink link;
    if (!link.Open(argv[1])) {
        std::fprintf(stderr, "vl4read: cannot open %s\n", argv[1]);
        return 1;
    }
    const char* ident = link.Identify();
    WriteLine(Text::DeviceLabel, ident ? ident : CommunicationErrorText.Text);
    if (!ident) return 1;
    if (!IsAcceptedIdentification(ident)) {
        WriteLine("", Text::IncompatibleDevice);
        return 1;
    }
    Readout values;
    int failed = 0;
    for (int i = 0; i < ReadoutStepCount; ++i) {
        const ReadoutStep& step = ReadoutSteps[i];
        NumberText text;
        bool read = step.Read(link, values);
        failed += !read;
        WriteLine(StepLabels[i], read ? step.Show(values, text) : CommunicationErrorText.Text);
    }
    return failed ? 1 : 0;
}
