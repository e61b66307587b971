#pragma once

// Templates and items of the test program's own dialogs.
#define IDD_PLAIN 100   // OK button, an edit, no Cancel item
#define IDD_SOAK 101    // OK button and an edit
#define IDC_TEXT 201    // edit field
#define IDC_MISSING 299 // no item has this id
