#pragma once

#include "devlink/transmitter_link.h"
#include "framework/control.h"
#include "framework/edit.h"
#include "framework/static_control.h"

#include <cstdint>

// The fields through which the tool shows and takes transmitter values.
//
// Linking this module initialises the common controls before main runs, so
// the progress bar's class exists before any window or dialog template
// names it.

// A read-only, right-aligned value with a sunken edge.
class ValueDisplay : public Static {
public:
    ValueDisplay(WindowObject* parent, const char* title, int x, int y, int width, int height,
                 int decimals);
    ValueDisplay(WindowObject* parent, TemplateItem item, int decimals);

    void ShowFloat(float value);
    // A live value: shown when it was read, cleared when not, so that a
    // value that stopped coming does not look like one that holds steady.
    void ShowReading(bool read, float value);
    void ShowInteger(int32_t value);
    // High and low byte in hex: 0x0105 shows 1.05.
    void ShowVersion(WORD version);
    // A BCD date 0xYYYYMMDD as YYYY-MM-DD.
    void ShowDate(DWORD bcdDate);
    void ShowDate(const CalibrationDate& date);
    // Any byte shows a name: the probe type modulo 4, the wiring modulo 3.
    void ShowProbeType(BYTE probeType);
    void ShowOutputWiring(BYTE outputWiring);

    int Decimals = 0;

protected:
    ~ValueDisplay() override = default;
};

// A right-aligned numeric entry. Typed numbers take a decimal point or comma.
class ValueEdit : public Edit {
public:
    ValueEdit(WindowObject* parent, const char* title, int x, int y, int width, int height, int id,
              int decimals);
    ValueEdit(WindowObject* parent, TemplateItem item, int decimals);

    void ShowFloat(float value);
    // The number in the field, 0.0 when it is not one; a text of more than 23
    // characters is not a number.
    float ReadFloat();
    // Looks at 15 characters at most: a longer text is not a number. Always
    // stores what the parse gave (without meaning after a failure); true
    // only for a text that is wholly a number.
    bool TryReadFloat(float& value);
    // For values sent to the transmitter: true only for a finite number of
    // at most 23 characters; value is written only then.
    bool ReadFiniteFloat(float& value);
    // Takes the focus with the whole text selected, so that a refused entry
    // is typed over at once.
    void SelectForCorrection();

    int Decimals = 0;

protected:
    ~ValueEdit() override = default;

private:
    bool ReadNumber(int maxLength, float& value);
};

// The common controls' progress bar, bound to a dialog item: grey background,
// range 0 to 100, step 1.
class ProgressBar : public Control {
public:
    ProgressBar(WindowObject* parent, TemplateItem item);

    const char* ClassName() override;
    void Setup() override;

    void SetRange(WORD low, WORD high);
    void SetStep(int step);
    void SetPosition(int position);
    void StepIt();

protected:
    ~ProgressBar() override = default;
};
