// The demonstration behind `make demo` (and `make run` without a display): makes a small photo
// tree, starts ferrix.exe and works it as a person would (types the settings into the main dialog,
// presses OK, agrees to create the destination, watches the progress dialog until it closes), then
// prints the source and the resulting destination side by side and saves screenshots of both
// dialogs. The probe holds the run at the last file while the progress dialog is photographed.
//
// usage: ferrix_demo FERRIX_EXE WORK_FOLDER SCREENSHOT_FOLDER
#include "tests/driver/DrivenProcess.h"
#include "tests/driver/FolderTree.h"
#include "tests/driver/MessageBoxWindow.h"
#include "tests/driver/ProbeGate.h"
#include "tests/driver/RemoteControls.h"
#include "tests/driver/Screenshot.h"
#include "tests/support/TempFolder.h"
#include "ui/resources/Resource.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

namespace {

// A photo tree with a few small pictures, a note that the mask leaves out, and a larger panorama,
// the last to be copied.
void MakeSampleTree(const std::wstring& photos)
{
    FolderTree::Write(photos, {{L"cover.jpg", std::string(2000, 'c')},
                               {L"2023\\Summer\\beach.jpg", std::string(30000, 'b')},
                               {L"2023\\Summer\\sunset.jpg", std::string(42000, 's')},
                               {L"2023\\Winter\\snow.jpg", std::string(25000, 'w')},
                               {L"2024\\notes.txt", "Remember the tripod."},
                               {L"2024\\party.jpg", std::string(18000, 'p')},
                               {L"2024\\Trip\\panorama.jpg", std::string(3 << 20, 'v')}});
}

std::string Size(size_t bytes)
{
    return bytes < 1024 * 1024 ? std::to_string(bytes) + " bytes" : std::to_string(bytes >> 20) + " MB";
}

// Each source file beside the destination file that its path folds into with the separator ".",
// or beside nothing when the run left it out; then whatever else the destination holds.
void PrintSideBySide(const std::wstring& source, const std::wstring& destination)
{
    const FolderTree before = FolderTree::Read(source);
    FolderTree after = FolderTree::Read(destination);
    std::printf("\n  %-46s %s\n", Utf8(source).c_str(), Utf8(destination).c_str());
    const auto row = [](const std::string& left, const std::string& right) {
        std::printf("  %-46s %s\n", left.c_str(), right.c_str());
    };
    for (const auto& [path, content] : before.files) {
        std::wstring folded = path;
        std::replace(folded.begin(), folded.end(), L'\\', L'.');
        const auto copied = after.files.find(folded);
        row(Utf8(path) + " (" + Size(content.size()) + ")",
            copied == after.files.end() ? "-" : Utf8(folded) + " (" + Size(copied->second.size()) + ")");
        if (copied != after.files.end())
            after.files.erase(copied);
    }
    for (const auto& [path, content] : after.files)
        row("", Utf8(path) + " (" + Size(content.size()) + ")");
}

int Demonstrate(const std::wstring& ferrixPath, const std::wstring& work, const std::wstring& screenshots)
{
    const std::wstring photos = work + L"\\Photos";
    const std::wstring flat = work + L"\\Flat";
    RemoveTree(work);
    MakeSampleTree(photos);
    MakeFolders(screenshots);

    std::printf("Starting %s\n", Utf8(ferrixPath).c_str());
    const ProbeGate gate(L"panorama.jpg");
    DrivenProcess ferrix(L"\"" + ferrixPath + L"\"", {}, gate.Variables(), true);
    const HWND dialog = ferrix.WaitForWindow(
        WindowQuery().OfClass(L"#32770").Captioned(L"Ferrix").WithControl(IDC_SOURCE_EDIT));
    std::printf("Typing the settings: source, destination, mask *.jpg, separator \".\"\n");
    SetText(Control(dialog, IDC_SOURCE_EDIT), photos);
    SetText(Control(dialog, IDC_DESTINATION_EDIT), flat);
    SetText(Control(dialog, IDC_MASK_EDIT), L"*.jpg");
    SetText(Control(dialog, IDC_SEPARATOR_EDIT), L".");
    SaveScreenshot(dialog, screenshots + L"\\main-dialog.png");

    std::printf("Pressing OK\n");
    PostClick(Control(dialog, IDOK));
    const MessageBoxWindow question(ferrix.WaitForWindow(MessageBoxWindow::OwnedBy(dialog)));
    std::printf("Ferrix asks: %s\nAnswering Yes\n", Utf8(question.Text()).c_str());
    question.Answer(IDYES);

    const HWND progress = ferrix.WaitForWindow(WindowQuery().OfClass(L"#32770").WithControl(IDC_PROGRESS_BAR));
    gate.WaitUntilHeld("the copy of the panorama");
    std::printf("The progress dialog reads: %s\n  %s %s\n  %s %s\n", Utf8(CaptionOf(progress)).c_str(),
                Utf8(CaptionOf(GetDlgItem(progress, IDC_FROM_LABEL))).c_str(),
                Utf8(CaptionOf(GetDlgItem(progress, IDC_FROM_TEXT))).c_str(),
                Utf8(CaptionOf(GetDlgItem(progress, IDC_TO_LABEL))).c_str(),
                Utf8(CaptionOf(GetDlgItem(progress, IDC_TO_TEXT))).c_str());
    SaveScreenshot(progress, screenshots + L"\\progress-dialog.png");
    gate.Open();
    std::printf("ferrix.exe ended with exit code %lu\n", ferrix.WaitForExit());

    PrintSideBySide(photos, flat);
    std::printf("\nScreenshots: %s\\main-dialog.png and progress-dialog.png\n", Utf8(screenshots).c_str());
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: ferrix_demo FERRIX_EXE WORK_FOLDER SCREENSHOT_FOLDER\n");
        return 2;
    }
    try {
        return Demonstrate(FullPath(argv[1]), FullPath(argv[2]), FullPath(argv[3]));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "demo failed: %s\n", failure.what());
        return 1;
    }
}
