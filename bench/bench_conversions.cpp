// Field conversions over one 4096-byte page of 64 PLU-sized (64-byte) records.
#include "app/GlobalFunc.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace ecr;

namespace {

struct Rec {
    std::string id, name;
    double price, member, safe, stock, avg;
};

Bytes makePage() {
    Bytes page(4096, 0xFF);
    for (int i = 0; i < 64; ++i) {
        ByteSpan r(page.data() + i * 64, 64);
        std::int32_t a, b;
        DigitsToLongs(std::to_string(690000000 + i), a, b);
        NumberToBytes(a, r.subspan(0, 4), 0, false);
        NumberToBytes(b, r.subspan(4, 4), 0, false);
        NumberToBytes(12.5 + i, r.subspan(8, 4), 2, false);
        NumberToBytes(11.0 + i, r.subspan(12, 4), 2, false);
        NumberToBytes(-3, r.subspan(16, 4), 3, true);
        NumberToBytes(100 + i, r.subspan(20, 4), 3, true);
        NumberToBytes(8.25, r.subspan(36, 4), 2, false);
        TextToBytes(i % 2 ? "Cola 330ml" : "可口可乐听装", r.subspan(40, 20));
        r[60] = 0xFE;
        r[61] = static_cast<std::uint8_t>(i % 10);
    }
    return page;
}

void BM_DecodePluSizedPage(benchmark::State& state) {
    const Bytes page = makePage();
    for (auto _ : state) {
        Rec out[64];
        for (int i = 0; i < 64; ++i) {
            ByteView r(page.data() + i * 64, 64);
            out[i].id = BytesToDigits(r.subspan(0, 4), r.subspan(4, 4));
            out[i].price = BytesToNumber(r.subspan(8, 4), 2, false, 0);
            out[i].member = BytesToNumber(r.subspan(12, 4), 2, false, 0);
            out[i].safe = BytesToNumber(r.subspan(16, 4), 3, true, 0);
            out[i].stock = BytesToNumber(r.subspan(20, 4), 3, true, 0);
            out[i].avg = BytesToNumber(r.subspan(36, 4), 2, false, 0);
            out[i].name = BytesToText(r.subspan(40, 20));
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_DecodePluSizedPage);

void BM_EncodePluSizedPage(benchmark::State& state) {
    for (auto _ : state) {
        Bytes page(4096, 0xFF);
        for (int i = 0; i < 64; ++i) {
            ByteSpan r(page.data() + i * 64, 64);
            std::int32_t a, b;
            DigitsToLongs("690000123", a, b);
            NumberToBytes(a, r.subspan(0, 4), 0, false);
            NumberToBytes(b, r.subspan(4, 4), 0, false);
            NumberToBytes(12.5, r.subspan(8, 4), 2, false);
            NumberToBytes(11.0, r.subspan(12, 4), 2, false);
            NumberToBytes(-3, r.subspan(16, 4), 3, true);
            NumberToBytes(100, r.subspan(20, 4), 3, true);
            NumberToBytes(8.25, r.subspan(36, 4), 2, false);
            TextToBytes(i % 2 ? "Cola 330ml" : "可口可乐听装", r.subspan(40, 20));
        }
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_EncodePluSizedPage);

} // namespace
