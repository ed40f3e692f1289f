// What the settings store costs on real hive files: a start-up reads five
// fields and ten history slots, a close writes them, and each write is a
// locked read-modify-write with fsync and rename.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/posix/HiveFormat.h"
#include "platform/posix/HiveRegistry.h"
#include "settings/CAppSettings.h"

namespace {

struct Store {
    std::string dir;
    platform::posix::HiveRegistry registry;
    settings::CAppSettings settings{registry};

    static std::string makeDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vexmond-bench-XXXXXX").string();
        return mkdtemp(pattern.data());
    }
    Store() : dir(makeDir()), registry(dir + "/vexmond") {
        settings.Init("Quorlan", "_Vexmond");
        for (int i = 0; i < 10; ++i)
            settings.SaveSetting("IPs", "Hist" + std::to_string(i),
                                 support::Variant::String("10.0.0." + std::to_string(i)));
        for (const char* k : {"Password", "Port", "Msg", "Msg_Timer", "Msg_Delay"})
            settings.SaveSetting("_Vexmond", k, support::Variant::String("value of " + std::string(k)));
    }
    ~Store() { std::filesystem::remove_all(dir); }
};

void BM_GetSetting(benchmark::State& state) {
    Store s;
    for (auto _ : state) benchmark::DoNotOptimize(s.settings.GetSetting("_Vexmond", "Msg"));
}
BENCHMARK(BM_GetSetting);

void BM_SaveSetting(benchmark::State& state) {
    Store s;
    int i = 0;
    for (auto _ : state) s.settings.SaveSetting("_Vexmond", "Port", support::Variant::String(std::to_string(i++)));
}
BENCHMARK(BM_SaveSetting)->Unit(benchmark::kMicrosecond);

// A start-up's reads: five fields and ten history slots.
void BM_StartUpReads(benchmark::State& state) {
    Store s;
    for (auto _ : state) {
        for (const char* k : {"Password", "Port", "Msg", "Msg_Timer", "Msg_Delay"})
            benchmark::DoNotOptimize(s.settings.GetSetting("_Vexmond", k));
        for (int i = 0; i < 10; ++i) benchmark::DoNotOptimize(s.settings.GetSetting("IPs", "Hist" + std::to_string(i)));
    }
}
BENCHMARK(BM_StartUpReads)->Unit(benchmark::kMicrosecond);

void BM_ParseHive(benchmark::State& state) {
    platform::posix::Hive hive;
    for (int k = 0; k < state.range(0); ++k) {
        auto& key = hive.ensure("Software\\Quorlan\\_Vexmond\\S" + std::to_string(k));
        for (int v = 0; v < 10; ++v)
            platform::posix::setValue(key, {"Value" + std::to_string(v), 1, {'a', 'b', 'c', 0}, {}});
    }
    const std::string text = platform::posix::writeHive(hive, "HKEY_LOCAL_MACHINE");
    for (auto _ : state) benchmark::DoNotOptimize(platform::posix::parseHive(text, "HKEY_LOCAL_MACHINE"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseHive)->Arg(2)->Arg(100)->Arg(2000);

// Many values in one key: reading must stay linear in the hive's size.
void BM_ParseHiveOneKey(benchmark::State& state) {
    platform::posix::Hive hive;
    auto& key = hive.ensure("Software\\Quorlan\\_Vexmond\\Big");
    for (int v = 0; v < state.range(0); ++v)
        platform::posix::setValue(key, {"Value" + std::to_string(v), 1, {'a', 0}, {}});
    const std::string text = platform::posix::writeHive(hive, "HKEY_LOCAL_MACHINE");
    for (auto _ : state) benchmark::DoNotOptimize(platform::posix::parseHive(text, "HKEY_LOCAL_MACHINE"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseHiveOneKey)->Arg(1000)->Arg(16000)->Unit(benchmark::kMillisecond);

}  // namespace
