// The converter window with a long text: showing it in the input box and
// converting it, through the real Qt widgets (offscreen unless a display is
// set). Each iteration times, from handing the text to the input box:
//   - the time until both boxes show their text after a conversion (the
//     iteration time), and
//   - "filled_ms": until both boxes also hold the whole text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <string>

#include "res/dialog_templates.h"
#include "ui/converter_dlg.h"
#include "ui/framework/qt/dialog_window.h"
#include "ui/framework/qt/edit_box.h"
#include "ui/framework/win_app.h"

namespace {

using Clock = std::chrono::steady_clock;
using tornix::GbkString;
using tornix::qt::DialogWindow;
using tornix::qt::EditBox;

constexpr std::size_t kMiB = 1024 * 1024;

// Lines like those of an ordinary Chinese text file with some ASCII, each
// ended by CR LF as a loaded file has them.
std::string MixedText(std::size_t size) {
    // 第N行：全角半角转换测试，Hello World 123。这是一段用于测量的中文文本。
    const std::string tail =
        "\xA3\xBA\xC8\xAB\xBD\xC7\xB0\xEB\xBD\xC7\xD7\xAA\xBB\xBB\xB2\xE2\xCA\xD4\xA3\xAC"
        "Hello World 123\xA1\xA3\xD5\xE2\xCA\xC7\xD2\xBB\xB6\xCE\xD3\xC3\xD3\xDA\xB2\xE2\xC1\xBF\xB5\xC4"
        "\xD6\xD0\xCE\xC4\xCE\xC4\xB1\xBE\xA1\xA3\r\n";
    std::string text;
    text.reserve(size + 128);
    for (int line = 1; text.size() < size; ++line) text += "\xB5\xDA" + std::to_string(line) + "\xD0\xD0" + tail;
    return text;
}

std::string AsciiText(std::size_t size) {
    std::string text;
    text.reserve(size + 128);
    for (int line = 1; text.size() < size; ++line) {
        text += "Line " + std::to_string(line) + ": The quick brown fox jumps over the lazy dog (3 + 4 = 7).\r\n";
    }
    return text;
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void ShowAndConvert(benchmark::State& state, const std::string& text, int button) {
    tornix::CConverterDlg dialog;
    DialogWindow window(dialog, *tornix::FindDialogTemplate(IDD_CONVERTER), nullptr);
    dialog.AttachHost(&window);
    static_cast<tornix::CDialog&>(dialog).OnInitDialog();  // as the window layer calls it
    window.show();
    QApplication::processEvents();
    auto* input = dynamic_cast<EditBox*>(window.Control(IDC_INPUT));
    auto* output = dynamic_cast<EditBox*>(window.Control(IDC_OUTPUT));
    auto* convert = qobject_cast<QPushButton*>(window.Control(button));
    const GbkString bytes{std::string_view(text)};
    double filled = 0;
    for (auto _ : state) {
        window.SetItemText(IDC_INPUT, GbkString(""));
        window.SetItemText(IDC_OUTPUT, GbkString(""));
        QApplication::processEvents();
        const Clock::time_point start = Clock::now();
        window.SetItemText(IDC_INPUT, bytes);  // as Load shows a file
        window.repaint();
        convert->click();
        window.repaint();
        const Clock::time_point shown = Clock::now();
        input->FinishFilling();
        output->FinishFilling();
        filled += Milliseconds(Clock::now() - start);
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
    state.counters["filled_ms"] = benchmark::Counter(filled / static_cast<double>(state.iterations()));
    state.counters["MiB"] = static_cast<double>(text.size()) / kMiB;
    dialog.AttachHost(nullptr);
}

void BM_ShowAndConvertMixed20MiBToFull(benchmark::State& state) {
    ShowAndConvert(state, MixedText(20 * kMiB), IDC_TO_FULL);
}
void BM_ShowAndConvertMixed20MiBToHalf(benchmark::State& state) {
    ShowAndConvert(state, MixedText(20 * kMiB), IDC_TO_HALF);
}
void BM_ShowAndConvertAscii20MiBToFull(benchmark::State& state) {
    ShowAndConvert(state, AsciiText(20 * kMiB), IDC_TO_FULL);
}

BENCHMARK(BM_ShowAndConvertMixed20MiBToFull)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ShowAndConvertMixed20MiBToHalf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ShowAndConvertAscii20MiBToFull)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    tornix::CWinApp app;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
