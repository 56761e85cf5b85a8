// The shell's COM headers need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#include "front/win32/settings_dialog.h"

#include <cstring>
#include <string>

#include "clouds/cloud_cache.h"
#include "front/win32/folder_refusal.h"
#include "front/win32/saver_process.h"
#include "platform/cache_files.h"
#include "platform/clock.h"
#include "platform/system_library.h"
#include "resources/resource_ids.h"
#include "textures/texture_folder.h"

namespace {

const wchar_t kMessageCaption[] = L"Solvane";

// What the dialog has to store on OK.
struct SettingsChoice {
    char folder[FolderTextSize];  // as the saver reads it, ending in its separator
    bool folderPicked;            // stored only when the user picked one
};

// A system DLL, loaded from the system folder only, so that no file of the same name
// beside the saver or in the current folder is taken instead. The 32-bit saver on
// 64-bit Windows is sent on to its own system folder by the system. It stays loaded
// for the life of the process: the shell leaves worker threads running in shell32 and
// ole32 after a picker closes, and unloading the code under them would crash.
class SystemLibrary {
  public:
    explicit SystemLibrary(const char* name) : module(LoadSystemLibrary(name)) {}

    template <typename Function>
    Function Find(const char* name) const {
        return module != nullptr ? ProcAs<Function>(GetProcAddress(module, name)) : nullptr;
    }

  private:
    HMODULE module = nullptr;
};

// ole32 and shell32 are loaded only when the user first asks for the picker:
// imported, they would come into every start of the saver, which never needs them.
struct ShellServices {
    SystemLibrary ole{"ole32.dll"};
    SystemLibrary shell{"shell32.dll"};
    decltype(&CoInitializeEx) initialize = ole.Find<decltype(&CoInitializeEx)>("CoInitializeEx");
    decltype(&CoUninitialize) uninitialize = ole.Find<decltype(&CoUninitialize)>("CoUninitialize");
    decltype(&CoCreateInstance) create = ole.Find<decltype(&CoCreateInstance)>("CoCreateInstance");
    decltype(&CoTaskMemFree) freeMemory = ole.Find<decltype(&CoTaskMemFree)>("CoTaskMemFree");
    decltype(&SHCreateItemFromParsingName) itemFromPath =
        shell.Find<decltype(&SHCreateItemFromParsingName)>("SHCreateItemFromParsingName");
    decltype(&SHBrowseForFolderW) browse =
        shell.Find<decltype(&SHBrowseForFolderW)>("SHBrowseForFolderW");
    decltype(&SHGetPathFromIDListW) pathFromList =
        shell.Find<decltype(&SHGetPathFromIDListW)>("SHGetPathFromIDListW");
};

// Loaded at the first Browse, kept until the process ends.
const ShellServices& Shell() {
    static const ShellServices services;
    return services;
}

enum class Picked { Folder, Cancelled, NoPicker };

// Today's folder picker, opened at `start` where that names a folder.
Picked PickWithFileDialog(const ShellServices& shell, HWND owner, const std::wstring& start,
                          std::wstring& out) {
    IFileOpenDialog* dialog = nullptr;
    if (shell.create == nullptr ||
        FAILED(shell.create(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                            IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog))))
        return Picked::NoPicker;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(L"Choose the texture folder");
    IShellItem* item = nullptr;
    if (!start.empty() && shell.itemFromPath != nullptr &&
        SUCCEEDED(shell.itemFromPath(start.c_str(), nullptr, IID_IShellItem,
                                     reinterpret_cast<void**>(&item)))) {
        dialog->SetFolder(item);
        item->Release();
    }
    Picked picked = Picked::Cancelled;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&item))) {
        PWSTR path = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path != nullptr) {
            out = path;
            picked = Picked::Folder;
        }
        if (path != nullptr && shell.freeMemory != nullptr) shell.freeMemory(path);
        item->Release();
    }
    dialog->Release();
    return picked;
}

int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start != 0)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

// The older folder browser, for systems without today's picker.
Picked PickWithFolderBrowser(const ShellServices& shell, HWND owner, const std::wstring& start,
                             std::wstring& out) {
    if (shell.browse == nullptr || shell.pathFromList == nullptr) return Picked::NoPicker;
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = L"Choose the folder that holds tex.tex and the sixteen tiles.";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = SelectStartFolder;
    info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE list = shell.browse(&info);
    if (list == nullptr) return Picked::Cancelled;
    wchar_t path[MAX_PATH] = L"";
    const bool named = shell.pathFromList(list, path) != FALSE;
    if (shell.freeMemory != nullptr) shell.freeMemory(list);
    if (!named) return Picked::Cancelled;
    out = path;
    return Picked::Folder;
}

// Lets the user choose a folder; false on a cancel or where no picker exists.
bool PickFolder(HWND owner, const std::wstring& start, std::wstring& out) {
    const ShellServices& shell = Shell();
    if (shell.initialize == nullptr || shell.uninitialize == nullptr) return false;
    const HRESULT initialized =
        shell.initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    Picked picked = PickWithFileDialog(shell, owner, start, out);
    if (picked == Picked::NoPicker) picked = PickWithFolderBrowser(shell, owner, start, out);
    if (SUCCEEDED(initialized)) shell.uninitialize();
    return picked == Picked::Folder;
}

std::wstring Widened(const char* text, UINT codePage) {
    const int size = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (size <= 1) return {};
    std::wstring out(std::size_t(size), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &out[0], size);
    out.resize(std::size_t(size - 1));
    return out;
}

// `text` in the ANSI code page, the form in which the saver reads its folder.
// `lost` tells that some character has no exact form there: Windows would otherwise
// put a look-alike or "?" in its place, and the saver would look elsewhere.
std::string AnsiForm(const std::wstring& text, bool& lost) {
    // Where the ANSI code page is UTF-8, which names every character, Windows refuses
    // the question about lost characters; only malformed text fails there.
    // The flag is defined for UTF-8 named by its number, not for CP_ACP that
    // happens to be UTF-8, so the code page goes by number.
    const UINT codePage = GetACP();
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int size =
        WideCharToMultiByte(codePage, flags, text.c_str(), -1, nullptr, 0, nullptr, usedDefaultOut);
    lost = true;
    if (size <= 1) return {};
    std::string out(std::size_t(size), '\0');
    if (WideCharToMultiByte(codePage, flags, text.c_str(), -1, &out[0], size, nullptr,
                            usedDefaultOut) != size)
        return {};
    out.resize(std::size_t(size - 1));
    lost = usedDefault != FALSE;
    return out;
}

void ShowMessage(HWND dialog, const std::wstring& text, UINT icon) {
    MessageBoxW(dialog, text.c_str(), kMessageCaption, MB_OK | icon);
}

// Browse: the picked folder replaces the shown one once it passes the saver's
// checks; a refused one is named to the user with the reason, and nothing changes.
void OnBrowse(HWND dialog, SettingsChoice& choice) {
    std::wstring picked;
    if (!PickFolder(dialog, Widened(choice.folder, CP_ACP), picked)) return;
    // The separator is added to the wide form: in a double-byte code page the last
    // byte of a name can look like a backslash.
    if (picked.empty() || (picked.back() != L'\\' && picked.back() != L'/')) picked += L'\\';
    bool lost = false;
    const std::string folder = AnsiForm(picked, lost);
    const std::string refusal = FolderRefusal(folder, lost);
    if (!refusal.empty()) {
        ShowMessage(dialog, picked + L"\n\n" + Widened(refusal.c_str(), CP_UTF8),
                    MB_ICONEXCLAMATION);
        return;
    }
    std::memcpy(choice.folder, folder.c_str(), folder.size() + 1);
    choice.folderPicked = true;
    SetDlgItemTextW(dialog, kFolderEditId, picked.c_str());
    // With a folder chosen, what is left is to confirm: Return now means OK.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;  // the system places the default focus
        case WM_COMMAND:
            // Nothing is saved on OK: the box only informs.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

// A handle that names no window (a stale one, or a number typed by hand) would make
// a dialog fail to appear at all; shown without an owner, the user still gets it.
HWND UsableOwner(HWND owner) {
    return IsWindow(owner) ? owner : nullptr;
}

void ShowAboutBox(HWND owner) {
    DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(kAboutDialogId), UsableOwner(owner),
                    AboutBoxProc, 0);
}

const int kMonitorRadios[] = {kEachOwnRadioId, kAcrossAllRadioId, kMainOnlyRadioId};

void OnInitDialog(HWND dialog, SettingsChoice& choice) {
    SetDlgItemTextA(dialog, kFolderEditId, choice.folder);
    CheckDlgButton(dialog, kShowClockCheckId,
                   displayOptions.showClock ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kNaturalLookCheckId,
                   displayOptions.look == Look::Natural ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(dialog, kEachOwnRadioId, kMainOnlyRadioId,
                     kMonitorRadios[int(displayOptions.monitors)]);
    const HWND clouds = GetDlgItem(dialog, kCloudsComboId);
    for (const wchar_t* label :
         {L"None", L"Still (the map that ships)", L"Live (today's, fetched every 3 hours)"})
        SendMessageW(clouds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
    SendMessageW(clouds, CB_SETCURSEL, WPARAM(displayOptions.clouds), 0);
    // The dialog never fetches; it only says how old the kept image is.
    const CloudCache cache(CacheFolder());
    SetDlgItemTextA(dialog, kCloudsAgeId,
                    DescribeCloudAge(cache.LoadState().fetchedAt, ReadCalendarTime()).c_str());
}

// Stores everything and closes; if the values cannot be written the user is told,
// and the dialog stays so that nothing is lost silently.
void OnOk(HWND dialog, const SettingsChoice& choice) {
    DisplayOptions options;
    options.showClock = IsDlgButtonChecked(dialog, kShowClockCheckId) == BST_CHECKED;
    options.look = IsDlgButtonChecked(dialog, kNaturalLookCheckId) == BST_CHECKED ? Look::Natural
                                                                                  : Look::Classic;
    for (int layout = 0; layout < 3; ++layout)
        if (IsDlgButtonChecked(dialog, kMonitorRadios[layout]) == BST_CHECKED)
            options.monitors = static_cast<MonitorLayout>(layout);
    const LRESULT clouds = SendDlgItemMessageW(dialog, kCloudsComboId, CB_GETCURSEL, 0, 0);
    options.clouds = CloudModeFromNumber(clouds);
    options.cloudsUrl = displayOptions.cloudsUrl;
    int failed = StoreDisplayOptions(options);
    if (choice.folderPicked) failed |= StoreTextureFolder(choice.folder);
    if (failed != 0) {
        ShowMessage(dialog, L"Solvane could not save its settings for this user.", MB_ICONSTOP);
        return;
    }
    displayOptions = options;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* choice = reinterpret_cast<SettingsChoice*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            OnInitDialog(dialog, *reinterpret_cast<SettingsChoice*>(lParam));
            return TRUE;  // the system places the default focus
        case WM_COMMAND:
            if (choice == nullptr) return FALSE;
            switch (LOWORD(wParam)) {
                case kBrowseButtonId:
                    OnBrowse(dialog, *choice);
                    return TRUE;
                case kAboutButtonId:
                    ShowAboutBox(dialog);
                    return TRUE;
                case IDOK:
                    OnOk(dialog, *choice);
                    return TRUE;
                case IDCANCEL:  // also Esc and the close box: nothing is stored
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void ShowSettingsDialog(HWND owner) {
    SettingsChoice choice{};
    LoadStoredTextureFolder(choice.folder);
    DialogBoxParamW(moduleInstance, MAKEINTRESOURCEW(kSettingsDialogId), UsableOwner(owner),
                    SettingsDialogProc, reinterpret_cast<LPARAM>(&choice));
}
