// How much building a status text costs: a prefix, a translated message and two numbers, as the
// status bar shows them after a capture. Our way builds it in the string work area and stores it
// into a variable; the peers build the same text with std::string and snprintf.
//
// Counters per iteration: "allocs" counts new heap blocks (malloc, calloc, a realloc that moved or
// made a block), "allocator_calls" counts every call into the allocator, resizes in place included.

#include "app/app_state.h"
#include "app/translations.h"
#include "runtime/text_builder.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

// glibc's own entry points; defining malloc and its kin in the program puts every allocation of
// the process (operator new included, which calls malloc) through the counters below.
extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* block, std::size_t size) noexcept;
void __libc_free(void* block) noexcept;
}

namespace {

std::atomic<long> g_newBlocks { 0 };
std::atomic<long> g_allocatorCalls { 0 };

} // namespace

extern "C" void* malloc(std::size_t size) noexcept
{
    g_allocatorCalls.fetch_add(1, std::memory_order_relaxed);
    g_newBlocks.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) noexcept
{
    g_allocatorCalls.fetch_add(1, std::memory_order_relaxed);
    g_newBlocks.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size) noexcept
{
    g_allocatorCalls.fetch_add(1, std::memory_order_relaxed);
    void* result = __libc_realloc(block, size);
    if (result && result != block)
        g_newBlocks.fetch_add(1, std::memory_order_relaxed);
    return result;
}

extern "C" void free(void* block) noexcept
{
    __libc_free(block);
}

namespace {

// Counts the allocator traffic of the timed loop and reports it per iteration.
class AllocationCounter {
public:
    explicit AllocationCounter(benchmark::State& state)
        : m_state(state)
        , m_blocks(g_newBlocks.load())
        , m_calls(g_allocatorCalls.load())
    {
    }
    ~AllocationCounter()
    {
        m_state.counters["allocs"] = benchmark::Counter(
            static_cast<double>(g_newBlocks.load() - m_blocks), benchmark::Counter::kAvgIterations);
        m_state.counters["allocator_calls"] = benchmark::Counter(
            static_cast<double>(g_allocatorCalls.load() - m_calls), benchmark::Counter::kAvgIterations);
    }
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

private:
    benchmark::State& m_state;
    long m_blocks;
    long m_calls;
};

void setUpGerman()
{
    language = 1;
    createTranslations();
    buildTranslations(LANGUAGE_DETECTED);
}

// The captured value and its row change every iteration, so that nothing can be folded away.
struct Capture {
    int row = 1;
    double value = 12.5;

    void next()
    {
        row = row % 400 + 1;
        value += 0.37;
        if (value > 100000.0)
            value = 12.5;
    }
};

void statusTextStoreText(benchmark::State& state)
{
    setUpGerman();
    String statusText;
    Capture capture;
    storeText(statusText, "> ", translate("Height"), " ", capture.row, ": ", fixed(capture.value, 2));
    AllocationCounter counter(state);
    for (auto _ : state) {
        capture.next();
        storeText(statusText, "> ", translate("Height"), " ", capture.row, ": ", fixed(capture.value, 2));
        benchmark::DoNotOptimize(statusText.data());
    }
}
BENCHMARK(statusTextStoreText);

void statusTextWorkText(benchmark::State& state)
{
    setUpGerman();
    Capture capture;
    {
        WorkText warmUp("> ", translate("Height"), " ", capture.row, ": ", fixed(capture.value, 2));
    }
    AllocationCounter counter(state);
    for (auto _ : state) {
        capture.next();
        WorkText text("> ", translate("Height"), " ", capture.row, ": ", fixed(capture.value, 2));
        benchmark::DoNotOptimize(text.c_str());
    }
}
BENCHMARK(statusTextWorkText);

std::string twoDecimals(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

void statusTextStdStringConcatenation(benchmark::State& state)
{
    setUpGerman();
    Capture capture;
    AllocationCounter counter(state);
    for (auto _ : state) {
        capture.next();
        std::string text = std::string("> ") + translate("Height") + " " + std::to_string(capture.row) + ": "
            + twoDecimals(capture.value);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(statusTextStdStringConcatenation);

void statusTextReusedStdString(benchmark::State& state)
{
    setUpGerman();
    Capture capture;
    std::string text;
    text.reserve(128);
    AllocationCounter counter(state);
    for (auto _ : state) {
        capture.next();
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, " %d: %.2f", capture.row, capture.value);
        text.assign("> ");
        text.append(translate("Height"));
        text.append(numbers);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(statusTextReusedStdString);

void statusTextSnprintf(benchmark::State& state)
{
    setUpGerman();
    Capture capture;
    AllocationCounter counter(state);
    for (auto _ : state) {
        capture.next();
        char text[256];
        std::snprintf(text, sizeof text, "> %s %d: %.2f", translate("Height"), capture.row, capture.value);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(statusTextSnprintf);

} // namespace
