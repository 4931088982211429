// Writing and reading back 10 000 data sets of 144 x 73 values through the
// ov library, against plain write/read of the same bytes (one call per
// data set).  Each iteration writes a fresh file and reads it whole.
//
//   bench_ov [--benchmark_filter=...]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <gridpick/ov.h>

namespace {

constexpr int sets = 10000, rows = 73, columns = 144;
const char units[] = "K";

std::string scratch_file()
{
    const char *tmp = std::getenv("TMPDIR");
    return std::string(tmp ? tmp : "/tmp") + "/bench_ov." + std::to_string(getpid());
}

std::vector<float> field()
{
    std::vector<float> values(rows * columns);
    for (size_t i = 0; i < values.size(); i++)
        values[i] = static_cast<float>(i % 977) * 0.25f - 50.0f;
    return values;
}

void BM_ov_write_read(benchmark::State &state)
{
    std::string path = scratch_file();
    std::vector<float> values = field();
    for (auto _ : state) {
        int fd = ov_create(path.c_str());
        OvHeader *h = ov_create_hdr(OV_CONTOUR, rows, columns, values.data(), nullptr);
        h->units = const_cast<char *>(units);
        for (int i = 0; i < sets; i++) {
            h->level = i;
            if (ov_write(fd, h) != 0)
                state.SkipWithError("ov_write failed");
        }
        std::free(h);
        ov_close(fd);

        fd = ov_open(path.c_str(), 0);
        double sum = 0;
        for (int i = 0; i < sets; i++) {
            OvHeader *r = ov_read(fd, 1);
            if (!r) {
                state.SkipWithError("ov_read failed");
                break;
            }
            sum += r->data[i % (rows * columns)];
            ov_destroy(r);
        }
        ov_close(fd);
        benchmark::DoNotOptimize(sum);
    }
    unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * 2LL * sets * (136 + 1 + 4 * rows * columns));
}

// The same bytes per data set, written and read with one call each.
void BM_plain_write_read(benchmark::State &state)
{
    std::string path = scratch_file();
    std::vector<float> values = field();
    size_t set_bytes = 136 + 1 + 4 * values.size();
    std::vector<char> image(set_bytes, 'x');
    std::vector<char> back(set_bytes);
    for (auto _ : state) {
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (write(fd, "OV90a", 6) != 6)
            state.SkipWithError("write failed");
        for (int i = 0; i < sets; i++)
            if (write(fd, image.data(), set_bytes) != static_cast<ssize_t>(set_bytes))
                state.SkipWithError("write failed");
        close(fd);

        fd = open(path.c_str(), O_RDONLY);
        char magic[6];
        if (read(fd, magic, sizeof magic) != sizeof magic)
            state.SkipWithError("read failed");
        double sum = 0;
        for (int i = 0; i < sets; i++) {
            if (read(fd, back.data(), set_bytes) != static_cast<ssize_t>(set_bytes))
                state.SkipWithError("read failed");
            sum += back[static_cast<size_t>(i) % set_bytes];
        }
        close(fd);
        benchmark::DoNotOptimize(sum);
    }
    unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * 2LL * sets * static_cast<long long>(set_bytes));
}

}  // namespace

BENCHMARK(BM_plain_write_read)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ov_write_read)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
