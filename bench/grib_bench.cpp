// fldcod decoding speed on a 144 x 73 field of 16-bit values (and other
// widths), reported as octets of message per second.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include <gridpick/grib.h>

// Every allocation of the process is counted, so that the decoding loop can
// show that it obtains no storage.
static std::atomic<long> allocations{0};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void *operator new(std::size_t n)
{
    allocations++;
    if (void *p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

struct Field {
    std::vector<gint> k0 = std::vector<gint>(GRIB_NKSEC0), k1 = std::vector<gint>(GRIB_NKSEC1),
                      k2 = std::vector<gint>(GRIB_NKSEC2), k3 = std::vector<gint>(GRIB_NKSEC3),
                      k4 = std::vector<gint>(GRIB_NKSEC4);
    std::vector<float> p2 = std::vector<float>(GRIB_NPSEC2), p3 = std::vector<float>(GRIB_NPSEC3),
                       p4 = std::vector<float>(19000);
    std::vector<gint> grib = std::vector<gint>(8000);
    gint kword = 0;

    gint call(const char *op)
    {
        gint klenp = 19000, kleng = 8000, kret = 1;
        fldcod(k0.data(), k1.data(), k2.data(), p2.data(), k3.data(), p3.data(), k4.data(),
               p4.data(), &klenp, grib.data(), &kleng, &kword, op, &kret, 1L);
        return kret;
    }
};

// A 2.5-degree latitude/longitude field of `bits` bits, coded with "C".
Field coded(gint bits, gint decimal = 0)
{
    Field f;
    gint k1[25] = {1, 7, 1, 255, 128, 11, 100, 500, 0, 79, 6, 15, 12, 0, 1, 0, 0, 0, 0, 0, 20, 0, decimal, 0, 0};
    gint k2[22] = {0, 144, 73, 90000, 0, 128, -90000, 357500, 2500, 2500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::copy(k1, k1 + 25, f.k1.begin());
    std::copy(k2, k2 + 22, f.k2.begin());
    f.k4[0] = 144 * 73;
    f.k4[1] = bits;
    for (int i = 0; i < 144 * 73; i++)
        f.p4[i] = 250.0f + 40.0f * std::sin(i * 0.013f);
    f.call("C");
    return f;
}

void decode(benchmark::State &state, gint bits, gint decimal)
{
    Field f = coded(bits, decimal);
    long before = allocations.load();
    for (auto _ : state) {
        gint r = f.call("D");
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(f.p4.data());
    }
    long during = allocations.load() - before;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * f.k0[0]);
    state.counters["octets"] = f.k0[0];
    state.counters["allocs_per_call"] =
        static_cast<double>(during) / static_cast<double>(state.iterations());
}

void BM_fldcod_decode_16bit(benchmark::State &s) { decode(s, 16, 0); }
void BM_fldcod_decode_8bit(benchmark::State &s) { decode(s, 8, 0); }
void BM_fldcod_decode_12bit(benchmark::State &s) { decode(s, 12, 0); }
void BM_fldcod_decode_24bit(benchmark::State &s) { decode(s, 24, 0); }
void BM_fldcod_decode_11bit(benchmark::State &s) { decode(s, 11, 0); }
void BM_fldcod_decode_16bit_decimal(benchmark::State &s) { decode(s, 16, 1); }

void BM_fldcod_length(benchmark::State &state)
{
    Field f = coded(16);
    for (auto _ : state) {
        gint r = f.call("L");
        benchmark::DoNotOptimize(r);
    }
}

void BM_fldcod_code_16bit(benchmark::State &state)
{
    Field f = coded(16);
    std::vector<float> field(f.p4);
    for (auto _ : state) {
        std::copy(field.begin(), field.end(), f.p4.begin());
        gint r = f.call("C");
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * f.k0[0]);
}

}  // namespace

BENCHMARK(BM_fldcod_decode_16bit);
BENCHMARK(BM_fldcod_decode_8bit);
BENCHMARK(BM_fldcod_decode_12bit);
BENCHMARK(BM_fldcod_decode_24bit);
BENCHMARK(BM_fldcod_decode_11bit);
BENCHMARK(BM_fldcod_decode_16bit_decimal);
BENCHMARK(BM_fldcod_length);
BENCHMARK(BM_fldcod_code_16bit);
BENCHMARK_MAIN();
