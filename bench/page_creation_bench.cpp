// In-process cost of creating the nine pages from their stored definitions, and of
// parsing the largest definition alone.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "framework/application.h"
#include "framework/page_definition.h"
#include "setup/page_definitions.h"
#include "setup/wizard.h"

static void CreateAllPages(benchmark::State& state) {
    for (auto _ : state) {
        setup::Wizard wizard;
        wizard.createPages();
        benchmark::DoNotOptimize(wizard.isForm1.get());
    }
}
BENCHMARK(CreateAllPages)->Unit(benchmark::kMillisecond);

static void ParseWelcomePage(benchmark::State& state) {
    const std::string_view text = setup::pageDefinition("TisForm1");
    for (auto _ : state) benchmark::DoNotOptimize(framework::parsePageDefinition(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseWelcomePage)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    framework::Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
