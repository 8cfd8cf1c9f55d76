// The Help and About pages: the documents their rich edit controls are handed,
// the version the About page reads from the DLL's own file, and copies of the
// DLL without a version resource or without the help document.

#include "prefs_fixture.h"

#include <commdlg.h>
#include <richedit.h>

#include <cstring>
#include <utility>

namespace {

// Every WM_SETTEXT that reached a rich edit control of this thread, with the
// text as the control reads it (up to its terminating zero).
std::vector<std::pair<HWND, std::string>> handed_texts;

LRESULT CALLBACK catchSetText(int code, WPARAM wparam, LPARAM lparam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && call->message == WM_SETTEXT && call->lParam != 0) {
        char name[32] = {};
        GetClassNameA(call->hwnd, name, sizeof name);
        if (std::string(name) == "RichEdit20A")
            handed_texts.emplace_back(call->hwnd, reinterpret_cast<const char*>(call->lParam));
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Whether directory entry `entry` of a resource directory names `type`: an id,
// or a name stored as counted UTF-16 at an offset from the root.
bool namesType(const char* root, const IMAGE_RESOURCE_DIRECTORY_ENTRY& entry, LPCSTR type) {
    if (IS_INTRESOURCE(type))
        return !entry.NameIsString && entry.Id == LOWORD(reinterpret_cast<ULONG_PTR>(type));
    if (!entry.NameIsString)
        return false;
    const auto* name = reinterpret_cast<const IMAGE_RESOURCE_DIR_STRING_U*>(root + entry.NameOffset);
    const std::string wanted = type;
    if (name->Length != wanted.size())
        return false;
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (name->NameString[i] != static_cast<WCHAR>(wanted[i]))
            return false;
    }
    return true;
}

// Takes entry `index` out of a resource directory, keeping the rest in order
// (ids are looked up by bisection).
void dropEntry(IMAGE_RESOURCE_DIRECTORY* directory, int index) {
    auto* entries = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY_ENTRY*>(directory + 1);
    const int count = directory->NumberOfNamedEntries + directory->NumberOfIdEntries;
    std::memmove(&entries[index], &entries[index + 1], (count - index - 1) * sizeof entries[0]);
    if (index < directory->NumberOfNamedEntries)
        --directory->NumberOfNamedEntries;
    else
        --directory->NumberOfIdEntries;
}

enum class ResourceEdit { Remove, DropLastByte };

// Edits resource `type`/`id` of the DLL image `file` in place: removes its
// entry from the resource directory, or declares it one byte shorter (the byte
// stays in the file). Wine's EndUpdateResource leaves a file unchanged unless
// .rsrc is its last section, and the linker puts .reloc after it. The image is
// of this test program's own architecture.
bool editResource(std::string& file, LPCSTR type, int id, ResourceEdit edit) {
    char* base = &file[0];
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (rva < section->VirtualAddress || rva >= section->VirtualAddress + section->SizeOfRawData)
            continue;
        char* root = base + section->PointerToRawData + (rva - section->VirtualAddress);
        auto* types = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY*>(root);
        const auto* type_entries = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY_ENTRY*>(types + 1);
        for (int t = 0; t < types->NumberOfNamedEntries + types->NumberOfIdEntries; ++t) {
            if (!namesType(root, type_entries[t], type))
                continue;
            auto* names =
                reinterpret_cast<IMAGE_RESOURCE_DIRECTORY*>(root + type_entries[t].OffsetToDirectory);
            const auto* name_entries = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY_ENTRY*>(names + 1);
            for (int n = names->NumberOfNamedEntries;
                 n < names->NumberOfNamedEntries + names->NumberOfIdEntries; ++n) {
                if (name_entries[n].Id != id)
                    continue;
                if (edit == ResourceEdit::Remove) {
                    dropEntry(names, n);
                } else {
                    const auto* languages = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY_ENTRY*>(
                        root + name_entries[n].OffsetToDirectory + sizeof(IMAGE_RESOURCE_DIRECTORY));
                    --reinterpret_cast<IMAGE_RESOURCE_DATA_ENTRY*>(root + languages[0].OffsetToData)->Size;
                }
                return true;
            }
        }
    }
    return false;
}

// The help's table in document order: each variable and its description as
// plain text shows it, up to the smiley (a Wingdings character).
const std::pair<const char*, const char*> kHelpRows[] = {
    {"$Name$", "name (hmm\x85)"},
    {"$Caption$", "caption"},
    {"$ShareName$", "share name (what you see when you browse the network)"},
    {"$Description$", "description / comment"},
    {"$ComputerName$", "computer name  (usually IP)"},
    {"$ComputerRealName$", "computer name (for real this time "},
    {"$UserName$", "user name"},
    {"$ConnectionID$", "unique id for connection\x85 just for fun"},
    {"$NoOfFiles$", "number of open files"},
    {"$NoOfUsers$", "number of users"},
    {"$ActiveTime$", "active time (format hh:mm:ss)"},
    {"$ActiveTimeMin$", "active time (in minutes)"},
};

class InfoPages : public PrefsTest {
protected:
    void SetUp() override {
        PrefsTest::SetUp();
        ASSERT_NE(GetModuleFileNameA(GetModuleHandleA("Tarnwick.dll"), original_, MAX_PATH), 0u);
        handed_texts.clear();
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, catchSetText, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook_, nullptr);
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook_);
        PrefsTest::TearDown();
        // A copy of the DLL can only be deleted with the scratch folder once it is unloaded.
        hoststub::freeLibrary();
    }

    HWND help() const { return pageWith(1034); }
    HWND about() const { return pageWith(1020); }

    // The page's document control: its one child of the rich edit class.
    static HWND document(HWND page) { return FindWindowExA(page, nullptr, "RichEdit20A", nullptr); }

    static std::string plainText(HWND control) {
        std::string text(static_cast<size_t>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
        text.resize(static_cast<size_t>(
            SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
        return text;
    }

    static std::string resourceBytes(HMODULE module, int id) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "RTF");
        HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
        if (loaded == nullptr)
            return "";
        return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }

    // Unloads the plug-in and loads, in its place, a copy of it with resource
    // `type`/`id` edited.
    void loadCopy(const std::string& file_name, LPCSTR type, int id, ResourceEdit edit) {
        hoststub::freeLibrary();
        std::string image = readFile(original_);
        ASSERT_TRUE(editResource(image, type, id, edit)) << "the original has the resource";
        const std::string copy = home_ + "\\" + file_name;
        writeFile(copy, image);
        ASSERT_TRUE(hoststub::loadLibrary(copy.c_str()));
        HMODULE loaded = GetModuleHandleA(file_name.c_str());
        ASSERT_EQ(FindResourceA(loaded, MAKEINTRESOURCEA(id), type) == nullptr, edit == ResourceEdit::Remove);
        ASSERT_NE(FindResourceA(loaded, MAKEINTRESOURCEA(121), "RTF"), nullptr) << "the rest stays";
    }

    // What each page's document control was handed.
    static std::vector<std::string> handedTo(HWND control) {
        std::vector<std::string> handed;
        for (const auto& text : handed_texts) {
            if (text.first == control)
                handed.push_back(text.second);
        }
        return handed;
    }

    static std::string firstLine(const std::string& text) {
        return text.substr(0, text.find_first_of("\r\n"));
    }

private:
    char original_[MAX_PATH] = {};
    HHOOK hook_ = nullptr;
};

TEST_F(InfoPages, EachShowsItsDocumentExactlyAsStoredAndTheAboutPageTheVersion) {
    open("", "");
    HMODULE dll = GetModuleHandleA("Tarnwick.dll");
    const struct {
        HWND page;
        int frame;
        int resource;
    } pages[] = {{help(), 1034, 123}, {about(), 1033, 121}};
    std::vector<HWND> documents;
    for (const auto& page : pages) {
        HWND control = document(page.page);
        ASSERT_NE(control, nullptr) << page.resource;
        documents.push_back(control);
        EXPECT_NE(GetWindowLongA(control, GWL_STYLE) & ES_READONLY, 0) << page.resource;

        // Inside its group box: 10 pixels in at the sides and bottom, 20 below its top.
        RECT frame, placed;
        GetWindowRect(GetDlgItem(page.page, page.frame), &frame);
        GetWindowRect(control, &placed);
        EXPECT_EQ(placed.left - frame.left, 10) << page.resource;
        EXPECT_EQ(placed.top - frame.top, 20) << page.resource;
        EXPECT_EQ(frame.right - placed.right, 10) << page.resource;
        EXPECT_EQ(frame.bottom - placed.bottom, 10) << page.resource;

        // Handed once, exactly the resource's bytes: nothing read past its last "}".
        const std::string stored = resourceBytes(dll, page.resource);
        ASSERT_EQ(stored.rfind("{\\rtf", 0), 0u) << page.resource;
        ASSERT_EQ(stored.back(), '}') << page.resource;
        // Wine's rich edit keeps a few hundred bytes each time it reads a document
        // that ends on a paragraph or row mark, so ours end in open text.
        const std::string last = stored.substr(0, stored.find_last_not_of("} \r\n") + 1);
        for (const std::string mark : {"\\par", "\\row"})
            EXPECT_NE(last.rfind(mark), last.size() - mark.size()) << page.resource << " ends on " << mark;
        EXPECT_EQ(handedTo(control), std::vector<std::string>{stored}) << page.resource;
    }

    // The help as a reader sees it: the twelve variables in order, each beside
    // its description.
    const std::string help_text = plainText(documents[0]);
    size_t at = 0;
    for (const auto& row : kHelpRows) {
        at = help_text.find(row.first, at);
        ASSERT_NE(at, std::string::npos) << row.first << " in order";
        at += std::strlen(row.first);
        EXPECT_EQ(help_text.find(row.second, at), help_text.find_first_not_of(" \t", at)) << row.first;
    }
    const char before_smiley[] = "for real this time ";
    FINDTEXTA smiley_at{{0, -1}, before_smiley};
    const auto smiley = static_cast<LONG>(
        SendMessageA(documents[0], EM_FINDTEXT, FR_DOWN, reinterpret_cast<LPARAM>(&smiley_at)) +
        std::strlen(before_smiley));
    SendMessageA(documents[0], EM_SETSEL, smiley, smiley + 1);
    CHARFORMAT2A smiley_format{};
    smiley_format.cbSize = sizeof smiley_format;
    SendMessageA(documents[0], EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&smiley_format));
    EXPECT_STREQ(smiley_format.szFaceName, "Wingdings");
    EXPECT_EQ(smiley_format.bCharSet, SYMBOL_CHARSET);

    EXPECT_EQ(text(about(), 1020),
              "Tarnwick 1.2.137\nTarnwick plugin for Trillian.\nBuilt by the Tarnwick project.");
    EXPECT_EQ(firstLine(plainText(documents[1])), "08/12/2026 - 1.2.137") << "newest version first";

    HGDIOBJ logo = nullptr;
    for (HWND child = GetWindow(about(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            logo = reinterpret_cast<HGDIOBJ>(SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
    ASSERT_NE(GetObjectType(logo), 0u) << "the About page shows its logo";

    ASSERT_EQ(hoststub::sendPrefsAction(0), 0);
    for (HWND control : documents)
        EXPECT_FALSE(IsWindow(control)) << "gone with its page";
    EXPECT_EQ(GetObjectType(logo), 0u) << "the logo's bitmap is deleted with its page";
}

TEST_F(InfoPages, ACopyWithoutVersionShowsZerosAndOneWithoutHelpAnEmptyHelp) {
    const struct {
        const char* copy;
        LPCSTR type;
        int id;
        const char* first_line;
        const char* trace; // the help's trace line, or none
    } cases[] = {
        {"NoVersion.dll", MAKEINTRESOURCEA(16), 1, "Tarnwick 0.0.0", nullptr},
        {"NoHelp.dll", "RTF", 123, "Tarnwick 1.2.137", "TARNWICK: HelpFindResource_ERROR = 1814"},
    };
    for (const auto& c : cases) {
        loadCopy(c.copy, c.type, c.id, ResourceEdit::Remove);
        hoststub::clearTrace();
        open("", "");
        EXPECT_EQ(firstLine(text(about(), 1020)), c.first_line) << c.copy;
        HWND help_document = document(help());
        ASSERT_NE(help_document, nullptr) << c.copy;
        EXPECT_EQ(plainText(help_document).empty(), c.trace != nullptr) << c.copy;
        EXPECT_EQ(traceContaining("HelpFindResource_ERROR"),
                  c.trace != nullptr ? std::vector<std::string>{c.trace} : std::vector<std::string>{})
            << c.copy;
        EXPECT_FALSE(plainText(document(about())).empty()) << c.copy << ": the release notes stay";
        ASSERT_EQ(hoststub::sendPrefsAction(0), 0);
        ASSERT_EQ(hoststub::sendSimple("stop"), 0);
        ASSERT_EQ(hoststub::sendSimple("unload"), 0);
    }
}

TEST_F(InfoPages, TheHelpEndsWhereItsResourceSaysEvenWithMoreBytesAfterIt) {
    const std::string stored = resourceBytes(GetModuleHandleA("Tarnwick.dll"), 123);
    loadCopy("ShortHelp.dll", "RTF", 123, ResourceEdit::DropLastByte);
    open("", "");
    // The last "}" is still in the file, right after the resource's declared end.
    EXPECT_EQ(handedTo(document(help())), std::vector<std::string>{stored.substr(0, stored.size() - 1)});
}

} // namespace
