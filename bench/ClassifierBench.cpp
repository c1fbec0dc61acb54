#include "core/ContextClassifier.h"

#include <benchmark/benchmark.h>

using namespace kestrove;

namespace {

ContextClassifier classifierWithTwentyOverrides()
{
    ContextClassifier::Overrides overrides;
    for (int i = 0; i < 10; ++i) {
        overrides.emplace("com.vendor" + std::to_string(i) + ".app", ContextKind::deep);
        overrides.emplace("site" + std::to_string(i) + ".example.org/docs", ContextKind::shallow);
    }
    return ContextClassifier(overrides, "com.kestrove.app");
}

// A browser page that no override matches, so every site row is scored.
void classifyBrowserSample(benchmark::State& state)
{
    const ContextClassifier classifier = classifierWithTwentyOverrides();
    ContextSample sample;
    sample.bundleID = "org.mozilla.firefox";
    sample.appName = "Firefox";
    sample.windowTitle = "Pull request · kestrove/app";
    sample.url = "https://www.GitHub.com/kestrove/app/pull/12?tab=files#diff";
    for (auto _ : state) {
        benchmark::DoNotOptimize(classifier.classify(sample));
    }
}
BENCHMARK(classifyBrowserSample);

void classifyApplicationSample(benchmark::State& state)
{
    const ContextClassifier classifier = classifierWithTwentyOverrides();
    ContextSample sample;
    sample.bundleID = "com.example.Unlisted";
    sample.appName = "Unlisted";
    for (auto _ : state) {
        benchmark::DoNotOptimize(classifier.classify(sample));
    }
}
BENCHMARK(classifyApplicationSample);

} // namespace

BENCHMARK_MAIN();
