// The dialog templates as the program's resources hold them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iomanip>
#include <string>
#include <vector>

namespace {

struct Item {
    int Id;
    std::string Class;
    DWORD Style;
    short X, Y, Width, Height;
    std::wstring Text; // the UTF-16 code points the template holds
    bool operator==(const Item& o) const {
        return Id == o.Id && Class == o.Class && Style == o.Style && X == o.X && Y == o.Y &&
               Width == o.Width && Height == o.Height && Text == o.Text;
    }
};

std::ostream& operator<<(std::ostream& out, const Item& i) {
    out << i.Id << ' ' << i.Class << " 0x" << std::hex << i.Style << std::dec << ' ' << i.X << ','
        << i.Y << ',' << i.Width << ',' << i.Height << " \"";
    for (wchar_t c : i.Text)
        if (c < 0x80)
            out << static_cast<char>(c);
        else
            out << "\\u" << std::hex << std::setw(4) << std::setfill('0') << static_cast<int>(c)
                << std::dec << std::setfill(' ');
    return out << '"';
}

struct Template {
    DWORD Style = 0, ExStyle = 0;
    short X = 0, Y = 0, Width = 0, Height = 0;
    std::string Menu, Class, Caption;
    std::vector<Item> Items;
};

// Reads the words of a template in order.
struct Reader {
    const BYTE* At;
    template <class T> T Next() {
        T value;
        std::memcpy(&value, At, sizeof value);
        At += sizeof value;
        return value;
    }
    // A text, or an ordinal: the system's control classes by name.
    std::wstring NameOrOrdinal() {
        if (*reinterpret_cast<const WORD*>(At) == 0xFFFF) {
            Next<WORD>();
            const WORD ordinal = Next<WORD>();
            static const wchar_t* const Classes[] = {L"BUTTON",  L"EDIT",      L"STATIC",
                                                     L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
            return ordinal >= 0x80 && ordinal <= 0x85 ? Classes[ordinal - 0x80]
                                                      : L"#" + std::to_wstring(ordinal);
        }
        const std::wstring text = reinterpret_cast<const wchar_t*>(At);
        At += (text.size() + 1) * sizeof(wchar_t);
        return text;
    }
    // The names are plain ASCII.
    std::string Name() {
        const std::wstring name = NameOrOrdinal();
        return std::string(name.begin(), name.end());
    }
    void AlignToDword(const BYTE* start) {
        while ((At - start) % 4 != 0) ++At;
    }
};

Template LoadTemplate(int id) {
    Template t;
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    EXPECT_NE(resource, nullptr) << "template " << id;
    if (!resource) return t;
    const auto* start = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    Reader r{start};
    t.Style = r.Next<DWORD>();
    t.ExStyle = r.Next<DWORD>();
    const WORD count = r.Next<WORD>();
    t.X = r.Next<short>(), t.Y = r.Next<short>();
    t.Width = r.Next<short>(), t.Height = r.Next<short>();
    t.Menu = r.Name();
    t.Class = r.Name();
    t.Caption = r.Name();
    for (int i = 0; i < count; ++i) {
        r.AlignToDword(start);
        Item item;
        item.Style = r.Next<DWORD>();
        EXPECT_EQ(r.Next<DWORD>(), 0u) << "extended style of item " << i;
        item.X = r.Next<short>(), item.Y = r.Next<short>();
        item.Width = r.Next<short>(), item.Height = r.Next<short>();
        item.Id = r.Next<WORD>();
        item.Class = r.Name();
        item.Text = r.NameOrOrdinal();
        EXPECT_EQ(r.Next<WORD>(), 0) << "creation data of item " << i;
        t.Items.push_back(item);
    }
    return t;
}

// A system-font dialog with a caption, a system menu and a modal frame.
void ExpectFrame(const Template& t, const char* caption) {
    EXPECT_EQ(t.Style, 0x00C80080u);
    EXPECT_EQ(t.Style & DS_SETFONT, 0u);
    EXPECT_EQ(t.ExStyle, 0u);
    EXPECT_EQ(t.Menu, "");
    EXPECT_EQ(t.Class, "");
    EXPECT_EQ(t.Caption, caption);
}

constexpr DWORD PushButton = 0x50030000, Text = 0x50020000, BorderedRight = 0x50800002,
                CheckBox = 0x50020003, Centred = 0x50020001, Edit = 0x50830002;

TEST(DialogTemplates, ProbeTypeDialog) {
    const Template t = LoadTemplate(3);
    ExpectFrame(t, "Sonda");
    EXPECT_EQ(std::vector<short>({t.X, t.Y, t.Width, t.Height}),
              std::vector<short>({60, 50, 110, 41}));
    EXPECT_EQ(t.Items, (std::vector<Item>{
                           {1, "BUTTON", PushButton, 30, 23, 50, 12, L"OK"},
                           {0, "STATIC", Text, 5, 7, 20, 10, L"Typ:"},
                           {101, "COMBOBOX", 0x50030003, 30, 5, 75, 80, L""},
                       }));
}

TEST(DialogTemplates, CalibrationDialog) {
    const Template t = LoadTemplate(4);
    ExpectFrame(t, "Kalibrace");
    EXPECT_EQ(std::vector<short>({t.X, t.Y, t.Width, t.Height}),
              std::vector<short>({15, 50, 210, 118}));
    EXPECT_EQ(t.Items, (std::vector<Item>{
                           {1, "BUTTON", PushButton, 80, 100, 50, 12, L"OK"},
                           {0, "STATIC", Text, 5, 7, 25, 10, L"Sonda:"},
                           {101, "STATIC", BorderedRight, 35, 5, 70, 12, L""},
                           {0, "STATIC", Text, 130, 7, 20, 10, L"[mV]:"},
                           {102, "STATIC", BorderedRight, 155, 5, 50, 12, L""},
                           {103, "BUTTON", CheckBox, 5, 22, 50, 10, L"Jeden bod"},
                           {0, "STATIC", Centred, 5, 37, 50, 10, L"Norm\u00E1l"}, // Normál
                           {0, "STATIC", Centred, 60, 37, 50, 10, L"Hodnota"},
                           {0, "STATIC", Centred, 115, 37, 50, 10, L"Nap\u011Bt\u00ED"}, // Napětí
                           {104, "EDIT", Edit, 5, 50, 50, 12, L""},
                           {105, "STATIC", BorderedRight, 60, 50, 50, 12, L""},
                           {106, "STATIC", BorderedRight, 115, 50, 50, 12, L""},
                           {107, "BUTTON", PushButton, 170, 50, 35, 12, L"1"},
                           {108, "EDIT", Edit, 5, 65, 50, 12, L""},
                           {109, "STATIC", BorderedRight, 60, 65, 50, 12, L""},
                           {110, "STATIC", BorderedRight, 115, 65, 50, 12, L""},
                           {111, "BUTTON", PushButton, 170, 65, 35, 12, L"2"},
                           {112, "MSCTLS_PROGRESS32", Text, 5, 81, 200, 12, L""},
                       }));
}

} // namespace
