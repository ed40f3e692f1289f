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

// A hive as the program writes it: sections of ten text values.
std::string hiveText(int keys, int valuesEach) {
    std::string text = "REGEDIT4\r\n";
    for (int k = 0; k < keys; ++k) {
        text += "\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\S" + std::to_string(k) + "]\r\n";
        for (int v = 0; v < valuesEach; ++v) text += "\"Value" + std::to_string(v) + "\"=\"abc\"\r\n";
    }
    return text;
}

void BM_ParseHive(benchmark::State& state) {
    const std::string text = hiveText(static_cast<int>(state.range(0)), 10);
    for (auto _ : state) benchmark::DoNotOptimize(platform::posix::Hive(text, "HKEY_LOCAL_MACHINE"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseHive)->Arg(2)->Arg(100)->Arg(2000);

// Many values in one key: reading must stay linear in the hive's size.
void BM_ParseHiveOneKey(benchmark::State& state) {
    const std::string text = hiveText(1, static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(platform::posix::Hive(text, "HKEY_LOCAL_MACHINE"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseHiveOneKey)->Arg(1000)->Arg(16000)->Unit(benchmark::kMillisecond);

}  // namespace
