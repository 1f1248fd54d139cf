// SPDX-License-Identifier: MIT
// Micro-benchmarks of the core: building the form, the three handlers, a whole lesson, the
// decoding of the stored pictures and what another language adds at start (reading its
// catalogue, laying its words over the pictures). Built with -DVELMORA_BENCH=ON; run
// build/bench/bench.
#include "assets/embedded_files.h"
#include "assets/picture_words.h"
#include "assets/stored_pictures.h"
#include "language/language.h"
#include "model/form_model.h"
#include "model/picture_id.h"
#include "reaction/handlers.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace velmora {
namespace {

// Stops the benchmark with an error when a handler failed: a figure for a failing path would
// measure the error route, not the lesson.
bool succeeded(benchmark::State& state, Status status, const char* what) {
    if (status == kStatusOk) return true;
    state.SkipWithError((std::string(what) + " failed").c_str());
    return false;
}

void FormModel_Build(benchmark::State& state) {
    for (auto _ : state) {
        FormModel form;
        benchmark::DoNotOptimize(&form);
    }
}
BENCHMARK(FormModel_Build);

// Reset at the start of the lesson: every flag already holds its value, so this is the
// handler's own cost (temporaries, by-name access) with no change to tell anyone about.
void Command1_Click_AtStart(benchmark::State& state) {
    FormModel form;
    for (auto _ : state)
        if (!succeeded(state, Command1_Click(form), "Command1_Click")) break;
}
BENCHMARK(Command1_Click_AtStart);

// The handlers where they change something. Forms are put into the right state a batch at a
// time outside the timed region, so the pause costs little per call.
template <typename Prepare, typename Act>
void timeHandler(benchmark::State& state, Prepare prepare, Act act, const char* what) {
    constexpr int kBatch = 512;
    std::vector<std::unique_ptr<FormModel>> forms;
    for (int i = 0; i < kBatch; ++i) forms.push_back(std::make_unique<FormModel>());
    while (state.KeepRunningBatch(kBatch)) {
        state.PauseTiming();
        bool ready = true;
        for (auto& form : forms) ready = ready && prepare(*form);
        state.ResumeTiming();
        if (!ready) {
            state.SkipWithError("could not prepare the forms");
            break;
        }
        Status status = kStatusOk;
        for (auto& form : forms) status |= act(*form);
        if (!succeeded(state, status, what)) break;
    }
}

Status drop(FormModel& form) { return Picture1_DragDrop(form, form.Picture2().control(), 0, 0); }

void Command1_Click_AfterProducts(benchmark::State& state) {
    timeHandler(
        state,
        [](FormModel& f) {
            return Command1_Click(f) == kStatusOk && drop(f) == kStatusOk && Picture4_Click(f) == kStatusOk;
        },
        [](FormModel& f) { return Command1_Click(f); }, "Command1_Click");
}
BENCHMARK(Command1_Click_AfterProducts);

void Picture1_DragDrop_Substrate(benchmark::State& state) {
    timeHandler(
        state, [](FormModel& f) { return Command1_Click(f) == kStatusOk; }, [](FormModel& f) { return drop(f); },
        "Picture1_DragDrop");
}
BENCHMARK(Picture1_DragDrop_Substrate);

void Picture4_Click_Complex(benchmark::State& state) {
    timeHandler(
        state, [](FormModel& f) { return Command1_Click(f) == kStatusOk && drop(f) == kStatusOk; },
        [](FormModel& f) { return Picture4_Click(f); }, "Picture4_Click");
}
BENCHMARK(Picture4_Click_Complex);

// Drop, click, reset: the lesson from the start back to the start, with a listener that
// counts the changes as the window would hear them.
void LessonCycle(benchmark::State& state) {
    FormModel form;
    long long changes = 0;
    form.setVisibilityListener([&changes](const Control&) {
        ++changes;
        return kStatusOk;
    });
    for (auto _ : state) {
        if (!succeeded(state, drop(form), "Picture1_DragDrop") ||
            !succeeded(state, Picture4_Click(form), "Picture4_Click") ||
            !succeeded(state, Command1_Click(form), "Command1_Click"))
            break;
    }
    // Drop: substrate, enzyme, complex; click: complex, products, enzyme; reset: products, substrate.
    if (changes != 8 * static_cast<long long>(state.iterations()))
        state.SkipWithError("a lesson cycle did not make the eight visibility changes");
}
BENCHMARK(LessonCycle);

void LoadScenePicture(benchmark::State& state) {
    const PictureId id = kAllPictures[state.range(0)];
    state.SetLabel(std::string(pictureName(id)));
    for (auto _ : state) {
        ScenePicture picture = loadScenePicture(id);
        benchmark::DoNotOptimize(picture.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(storedPictureRecord(id).size()));
}
BENCHMARK(LoadScenePicture)->DenseRange(0, std::size(kAllPictures) - 1);

void LoadAllScenePictures(benchmark::State& state) {
    for (auto _ : state)
        for (PictureId id : kAllPictures) {
            ScenePicture picture = loadScenePicture(id);
            benchmark::DoNotOptimize(picture.data());
        }
}
BENCHMARK(LoadAllScenePictures);

// Reading the German catalogue, as the program does once at start.
void ReadLanguage_German(benchmark::State& state) {
    for (auto _ : state) {
        const Language german("de");
        benchmark::DoNotOptimize(german.code().data());
    }
}
BENCHMARK(ReadLanguage_German);

// Laying the German words over the four decoded pictures, which lessonPicture() does after
// decoding them (LoadAllScenePictures).
void LayWords_German(benchmark::State& state) {
    std::vector<ScenePicture> pictures;
    for (PictureId id : kAllPictures) pictures.push_back(loadScenePicture(id));
    std::vector<std::pair<const WordPlace*, std::span<const std::uint8_t>>> words;
    for (const WordPlace& place : kWordPlaces)
        for (const EmbeddedFile& file : embeddedPictureWords())
            if (file.name == "de/" + wordImageName(place)) words.emplace_back(&place, file.bytes);
    for (auto _ : state)
        for (const auto& [place, image] : words) {
            ScenePicture& picture = pictures[static_cast<std::size_t>(place->picture)];
            layWord(picture, *place, image);
            benchmark::DoNotOptimize(picture.data());
        }
    state.counters["words"] = static_cast<double>(words.size());
}
BENCHMARK(LayWords_German);

} // namespace
} // namespace velmora

BENCHMARK_MAIN();
