// KESTREL.exe: the dialog, shown modally; the process ends with it.

// The common-controls header needs windows.h before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/program_files.h"
#include "app/win32/main_dialog.h"
#include "formats/substitution_table.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const kestrel::TableLoad table = kestrel::FindSubstitutionTable(kestrel::TableFolders());
    kestrel::DialogSetup setup;
    if (table.table) {
        setup.transfer.table = &*table.table;
    } else {
        setup.transfer.missingTableName = table.file;
    }
    return kestrel::RunMainDialog(instance, std::move(setup));
}
