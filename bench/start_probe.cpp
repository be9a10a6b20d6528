// tornix as it starts, with one addition: once the converter window has been
// painted for the first time it prints "shown" and closes. scripts/
// bench-start.sh times it from the launch of the process to that line.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/converter_app.h"
#include "app/qt_program.h"
#include "ui/framework/dialog.h"

namespace {

tornix::CConverterApp theApp;

class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!m_seen && event->type() == QEvent::Paint && widget && widget->isWindow()) {
            m_seen = true;
            QTimer::singleShot(0, [] {  // after the paint has been delivered
                std::printf("shown\n");
                std::fflush(stdout);
                if (theApp.m_pMainWnd) theApp.m_pMainWnd->EndDialog(IDCANCEL);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

}  // namespace

int main(int, char** argv) {
    FirstPaint probe;
    return tornix::RunQtProgram(argv[0],
                                [&probe](QApplication& application) { application.installEventFilter(&probe); });
}
