// Reading the translation containers of all nine pages (the bytes each page stores as its
// MltLang1's Items.ObjectContainer), as a page read does, and writing them back.

#include <benchmark/benchmark.h>

#include <vector>

#include "framework/page_definition.h"
#include "mltlang/mltlang1.h"
#include "setup/page_definitions.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const framework::ObjectNode* findObject(const framework::ObjectNode& node, std::string_view name) {
    if (node.name == name) return &node;
    for (const auto& child : node.children) {
        if (const auto* found = findObject(child, name)) return found;
    }
    return nullptr;
}

// Every page's stored container; a page without translations stores none.
std::vector<Bytes> storedContainers() {
    std::vector<Bytes> containers;
    for (const char* page : {"TisForm1", "TisForm2", "TisForm3", "TiForm10", "Tisform4", "TisForm5",
                             "Tisform6", "TisForm7", "TiForm11"}) {
        const framework::ObjectNode root =
            framework::parsePageDefinition(setup::pageDefinition(page));
        const framework::ObjectNode* component = findObject(root, "MltLang1");
        for (const auto& property : component->properties) {
            if (property.name == "Items.ObjectContainer")
                containers.push_back(std::get<Bytes>(property.value));
        }
    }
    return containers;
}

void ReadAllContainers(benchmark::State& state) {
    mltlang::RegisterMltLangClasses();
    const std::vector<Bytes> containers = storedContainers();
    std::size_t bytes = 0;
    for (const Bytes& c : containers) bytes += c.size();
    for (auto _ : state) {
        for (const Bytes& container : containers) {
            mltlang::TInfoList items;
            items.SetObjectContainer(container);
            benchmark::DoNotOptimize(items.Count());
        }
    }
    state.counters["containers"] = static_cast<double>(containers.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(ReadAllContainers)->Unit(benchmark::kMicrosecond);

void WriteAllContainers(benchmark::State& state) {
    mltlang::RegisterMltLangClasses();
    std::vector<std::unique_ptr<mltlang::TInfoList>> lists;
    for (const Bytes& container : storedContainers()) {
        lists.push_back(std::make_unique<mltlang::TInfoList>());
        lists.back()->SetObjectContainer(container);
    }
    for (auto _ : state) {
        for (const auto& list : lists) benchmark::DoNotOptimize(list->ObjectContainer());
    }
}
BENCHMARK(WriteAllContainers)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
