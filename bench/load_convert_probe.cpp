// Load, convert and show a large text file in the real converter window:
// the file is read as the Load command reads it, shown in the input box,
// converted with the full-to-half button (or, with --to-full, the
// half-to-full one) and shown in the output box; with --load-only, only
// loaded until the input box holds the whole text. Prints the times and the
// process's peak memory (resident, and address space as RLIMIT_AS counts it)
// as one line of key=value pairs; read_ms is the file's reading (and
// decoding) alone.
//   load_convert_probe FILE [--to-full | --load-only]
#include <sys/resource.h>

#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "files/text_file.h"
#include "res/dialog_templates.h"
#include "ui/converter_dlg.h"
#include "ui/framework/qt/dialog_window.h"
#include "ui/framework/qt/edit_box.h"
#include "ui/framework/win_app.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The largest address space the process has had, from /proc/self/status.
long PeakAddressSpaceKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmPeak: %ld kB", &kib) == 1) break;
    }
    std::fclose(status);
    return kib;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[2] : "";
    if (argc > 3 || (argc == 3 && mode != "--to-full" && mode != "--load-only")) {
        std::fprintf(stderr, "usage: load_convert_probe FILE [--to-full | --load-only]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    tornix::CWinApp app;
    tornix::CConverterDlg dialog;
    tornix::qt::DialogWindow window(dialog, *tornix::FindDialogTemplate(IDD_CONVERTER), nullptr);
    dialog.AttachHost(&window);
    static_cast<tornix::CDialog&>(dialog).OnInitDialog();
    window.show();
    QApplication::processEvents();
    const long baseKiB = PeakKiB();

    const Clock::time_point start = Clock::now();
    tornix::ReadResult read = tornix::ReadTextFile(argv[1]);
    if (!read.ok()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const double readOnly = Milliseconds(start);
    dialog.m_strInput = std::move(read.text);  // what Load does once the file is read
    dialog.UpdateData(false);
    window.repaint();
    const double loaded = Milliseconds(start);
    if (mode != "--load-only") {
        qobject_cast<QPushButton*>(window.Control(mode == "--to-full" ? IDC_TO_FULL : IDC_TO_HALF))->click();
    }
    window.repaint();
    const double shown = Milliseconds(start);
    dynamic_cast<tornix::qt::EditBox*>(window.Control(IDC_INPUT))->FinishFilling();
    dynamic_cast<tornix::qt::EditBox*>(window.Control(IDC_OUTPUT))->FinishFilling();
    const double filled = Milliseconds(start);

    const double fileMiB = static_cast<double>(std::filesystem::file_size(argv[1])) / (1 << 20);
    const double peakMiB = static_cast<double>(PeakKiB()) / 1024;
    const double addressMiB = static_cast<double>(PeakAddressSpaceKiB()) / 1024;
    std::printf(
        "file_mib=%.1f read_ms=%.0f load_show_ms=%.0f load_convert_show_ms=%.0f boxes_filled_ms=%.0f "
        "peak_mib=%.0f peak_over_file=%.1f address_space_peak_mib=%.0f "
        "address_space_over_file=%.1f window_alone_mib=%.0f\n",
        fileMiB, readOnly, loaded, shown, filled, peakMiB, peakMiB / fileMiB, addressMiB, addressMiB / fileMiB,
        static_cast<double>(baseKiB) / 1024);
    dialog.AttachHost(nullptr);
    return 0;
}
