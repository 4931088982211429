// Reading and decoding one day of archive (368 messages of 144 x 73 values
// at 16 bits, 7.8 MB) from a disk file and from a tape image: measuring and
// framing only, with sections 1 and 2 decoded (what every message costs),
// and with section 4 unpacked as well (what a written field costs).
#include "extract.h"
#include "tpio.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string disk = "/tmp/gpbench-day.grb", image = "/tmp/gpbench-day.tap";

struct Cleanup {
    ~Cleanup()
    {
        std::remove(disk.c_str());
        std::remove(image.c_str());
    }
};

// Archives are made once per process and removed when it ends.
const std::string &archive(bool tape)
{
    static bool made = false;
    static Cleanup cleanup;
    if (!made) {
        std::string cmd = std::string(MKARCHIVE) + " " + disk + " >/dev/null && " + MKARCHIVE +
                          " -t " + image + " >/dev/null";
        if (std::system(cmd.c_str()) != 0)
            std::abort();
        made = true;
    }
    return tape ? image : disk;
}

enum Work { frame_only, sections, unpack };

void walk(benchmark::State &state, bool tape, Work work)
{
    const std::string &name = archive(tape);
    long messages = 0, bytes = 0;
    for (auto _ : state) {
        gp_extract_reset();
        gp_run.last_day = kdate(12, 31, 99);
        gp_archive_ptr archive(gp_archive_open(name.c_str(), nullptr, nullptr, 0));
        if (archive == nullptr)
            std::abort();
        int n;
        while ((n = read_next_dataset(archive.get())) != GP_NO_MORE) {
            if (work >= sections)
                decode_data_set(gp_msg.igrib);
            if (work == unpack)
                benchmark::DoNotOptimize(unpack_data_set(gp_msg.igrib));
            messages++;
            bytes += n;
        }
    }
    state.counters["messages"] = benchmark::Counter(static_cast<double>(messages),
                                                    benchmark::Counter::kIsRate);
    state.SetBytesProcessed(bytes);
}

void BM_DiskFraming(benchmark::State &s) { walk(s, false, frame_only); }
void BM_DiskSections12(benchmark::State &s) { walk(s, false, sections); }
void BM_DiskUnpack(benchmark::State &s) { walk(s, false, unpack); }
void BM_TapeImageFraming(benchmark::State &s) { walk(s, true, frame_only); }
void BM_TapeImageSections12(benchmark::State &s) { walk(s, true, sections); }

BENCHMARK(BM_DiskFraming)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiskSections12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiskUnpack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TapeImageFraming)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TapeImageSections12)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
