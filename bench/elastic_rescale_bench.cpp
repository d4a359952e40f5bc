// One rescale of the largest page (the screen-language and folder page, ten controls): a
// resize by the program, laid out with the controls hidden, and the paints it brings.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "framework/application.h"
#include "setup/pages.h"
#include "setup/wizard.h"

namespace {

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    long paints = 0;
};

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Each iteration resizes the page by the program and lets it paint; the page alternates
// between two sizes so that every iteration is a real change.
void RescaleLargestPage(benchmark::State& state) {
    setup::Wizard wizard;
    wizard.createPages();
    framework::TForm& page = *wizard.isForm3;
    page.Show();
    settle();
    PaintCounter counter;
    page.widget()->installEventFilter(&counter);
    const int width = page.width(), height = page.height();
    long resizes = 0;
    for (auto _ : state) {
        const int grow = (resizes % 2 == 0) ? 120 : 0;
        page.setBounds(page.left(), page.top(), width + grow, height + grow);
        settle();
        ++resizes;
    }
    state.counters["paints_per_resize"] =
        static_cast<double>(counter.paints) / static_cast<double>(resizes);
    page.Hide();
}
BENCHMARK(RescaleLargestPage)->Unit(benchmark::kMicrosecond);

// The layout alone: the resize message is handled within setBounds; painting is left out.
void LayoutOfLargestPage(benchmark::State& state) {
    setup::Wizard wizard;
    wizard.createPages();
    framework::TForm& page = *wizard.isForm3;
    page.Show();
    settle();
    const int width = page.width(), height = page.height();
    long resizes = 0;
    for (auto _ : state) {
        const int grow = (resizes++ % 2 == 0) ? 120 : 0;
        page.setBounds(page.left(), page.top(), width + grow, height + grow);
        state.PauseTiming();
        settle();
        state.ResumeTiming();
    }
    page.Hide();
}
BENCHMARK(LayoutOfLargestPage)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    framework::Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
